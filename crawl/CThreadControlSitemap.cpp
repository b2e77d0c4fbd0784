#include "crawl/CThreadControlSitemap.h"

#include <chrono>
#include <memory>

#include "common/ResultCodes.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/CrawlSync.h"

namespace {
constexpr std::chrono::milliseconds kStopWait{10000};
}

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
  SetStopRequested(1);
  resultsConsumedEvent.WaitFor(kStopWait);
  SetState(2);
  return rc::kOk;
}
