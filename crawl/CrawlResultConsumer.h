#pragma once
#include <functional>

#include "common/WindowMessages.h"
#include "crawl/CrawlPortion.h"

class CSitemapControl;
class CThreadControl;

// The main window's part in the crawl messages, for one window.
class CrawlResultConsumer {
 public:
  CrawlResultConsumer(CSitemapControl& control, CThreadControl* crawlController);

  std::function<void(const CrawlPortion&)> onPortion;
  std::function<void()> onFinished;
  std::function<void()> onReset;

  // WM_CRAWL_RESULTS: reads the portion, calls onPortion, then signals resultsConsumedEvent
  // (always, also for an empty portion). WM_CRAWL_FINISHED with wParam 0: controller state 2,
  // onFinished. WM_CRAWL_RESET: onReset. True when msg was one of the three.
  bool HandleMessage(const PostedMessage& msg);

 private:
  CSitemapControl& control_;
  CThreadControl* crawlController_;
};
