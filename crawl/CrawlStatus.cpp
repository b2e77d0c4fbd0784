#include "crawl/CrawlStatus.h"

int32_t FoundCount(const CrawlCounters& c) {
  return c.waiting + c.crawling + c.crawledOk + c.failed + c.notAllowed + c.tooDeep;
}

int32_t ProgressPosition(const CrawlCounters& c) {
  const int32_t total = FoundCount(c);
  if (total == 0) return 0;
  const int32_t done = c.crawledOk + c.failed + c.notAllowed + c.tooDeep;
  float ratio = static_cast<float>(done) / static_cast<float>(total);
  if (ratio < 0.0f) ratio = 0.0f;
  const int32_t position = static_cast<int32_t>(ratio * 100.0f);
  return position > 100 ? 100 : position;
}
