#include "crawl/CThreadControlSitemap.h"

#include <chrono>
#include <memory>

#include "common/ResultCodes.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/CrawlSync.h"

int32_t CThreadControlSitemap::Start(void* param) {
  SetStopRequested(0);
  // A signal left by the end of the previous crawl answers nothing of this one.
  resultsConsumedEvent.Reset();
  std::shared_ptr<CrawlStartParams> copy;
  if (param) copy = std::make_shared<CrawlStartParams>(*static_cast<CrawlStartParams*>(param));
  if (!StartThread([copy]() { CrawlThreadProc(copy.get()); })) return rc::kGeneral;
  SetState(1);
  return rc::kOk;
}

int32_t CThreadControlSitemap::Stop() {
  // No wait here: Stop runs on the window's thread, and a worker handing over a portion waits
  // for that very thread. The running transfers end at once; WM_CRAWL_FINISHED follows.
  SetStopRequested(1);
  SetState(2);
  return rc::kOk;
}
