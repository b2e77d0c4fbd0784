#include "crawl/CrawlStartParams.h"

#include "common/CrashReporter.h"
#include "common/ResultCodes.h"
#include "crawl/CSitemapControl.h"

CrawlStartParams& TheCrawlStartParams() {
  static CrawlStartParams params;
  return params;
}

int32_t CrawlThreadProc(void* param) {
  CrashReporterRegisterThread(0);
  int32_t result = rc::kGeneral;
  auto* params = static_cast<CrawlStartParams*>(param);
  if (params && !params->startUrl.empty() && params->control) {
    // Keeps the crawl object alive for the whole crawl, also when its window goes first.
    std::shared_ptr<CSitemapControl> control = params->control;
    CSitemapData& data = control->data();
    data.notifyWindow = params->notifyWindow;
    data.maxDepth = params->maxDepth;
    data.threadCount = params->threadCount;
    data.rules = params->rules;
    if (&data.forbiddenExtensions != &params->forbiddenExtensions) {
      data.forbiddenExtensions = params->forbiddenExtensions;
    }
    try {
      control->RunCrawl(params->startUrl);
    } catch (...) {
      // RunCrawl does not throw; this keeps a thread from ending the process.
    }
    result = rc::kOk;
  }
  CrashReporterUnregisterThread();
  return result;
}
