#pragma once
#include "crawl/CThreadControl.h"

// The crawl thread controller. Start takes a CrawlStartParams*, copies it and runs
// CrawlThreadProc on the copy, so the caller may refill its record at once.
class CThreadControlSitemap : public CThreadControl {
 public:
  // stopRequested := 0, starts the crawl thread, state 1; 0 (-10000 when no thread could be made).
  int32_t Start(void* param) override;
  // stopRequested := 1, state 2; 0. Returns at once: the crawl ends its running pages and
  // posts WM_CRAWL_FINISHED.
  int32_t Stop() override;
};
