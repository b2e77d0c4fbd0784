#pragma once
#include <cstdint>

#include "app/CrawlMessages.h"
#include "app/platform/WindowMessages.h"
#include "crawl/PortionHandOver.h"

// A window's consumer: the crawl's news are posted to the window. WM_CRAWL_RESULTS says that
// portions wait to be taken (Take, then Release once shown); WM_CRAWL_FINISHED (wParam: the
// result) that the crawl has ended. lParam is the crawl's id, so the window can ignore what
// an earlier crawl still posts.
class PostingResultConsumer : public PortionHandOver {
 public:
  PostingResultConsumer(WindowHandle window, intptr_t crawlId);

  intptr_t crawlId() const { return crawlId_; }

 private:
  const intptr_t crawlId_;
};
