#include "crawl/CrawlResultConsumer.h"

#include "crawl/CSitemapControl.h"
#include "crawl/CThreadControl.h"
#include "crawl/CrawlSync.h"

CrawlResultConsumer::CrawlResultConsumer(CSitemapControl& control, CThreadControl* crawlController)
    : control_(control), crawlController_(crawlController) {}

bool CrawlResultConsumer::HandleMessage(const PostedMessage& msg) {
  switch (msg.message) {
    case WM_CRAWL_RESULTS: {
      CrawlPortion portion = ReadShownResults(control_);
      if (onPortion) onPortion(portion);
      resultsConsumedEvent.Set();
      return true;
    }
    case WM_CRAWL_FINISHED:
      if (msg.wParam == 0) {
        if (crawlController_) crawlController_->SetState(2);
        if (onFinished) onFinished();
      }
      return true;
    case WM_CRAWL_RESET:
      if (onReset) onReset();
      return true;
    default:
      return false;
  }
}
