#include "crawl/CThreadControlSitemap.h"

#include "common/CrashReporter.h"
#include "common/ResultCodes.h"
#include "crawl/CSitemapControl.h"

int32_t CThreadControlSitemap::Start(std::shared_ptr<CSitemapControl> crawl) {
  if (!crawl) return rc::kMissing;
  crawl_ = crawl;
  bool started = StartThread([crawl]() {
    CrashReporterRegisterThread(0);
    crawl->RunCrawl();
    CrashReporterUnregisterThread();
  });
  if (!started) return rc::kGeneral;
  SetState(1);
  return rc::kOk;
}

int32_t CThreadControlSitemap::Stop() {
  // No wait here: Stop runs on the window's thread, and a worker handing over a portion may
  // wait for that very thread. The running transfers end at once.
  if (auto crawl = crawl_.lock()) crawl->RequestStop();
  SetState(2);
  return rc::kOk;
}
