#pragma once
#include "crawl/CThreadControl.h"

// The crawl thread controller. Start takes a CrawlStartParams*, copies it and runs
// CrawlThreadProc on the copy, so the caller may refill its record at once.
class CThreadControlSitemap : public CThreadControl {
 public:
  // stopRequested := 0, starts the crawl thread, state 1; 0 (-10000 when no thread could be made).
  int32_t Start(void* param) override;
  // stopRequested := 1, waits up to 10000 ms for resultsConsumedEvent, state 2; 0.
  int32_t Stop() override;
};
