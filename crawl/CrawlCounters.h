#pragma once
#include <cstdint>

// The seven counters of one crawl. Every field is read and written under the crawl's counter lock.
struct CrawlCounters {
  int32_t waiting = 0;     // admitted, not yet handed to a worker
  int32_t crawling = 0;    // handed to a worker, not finished
  int32_t crawledOk = 0;   // fetched with "200" and a body
  int32_t failed = 0;      // fetch failed
  int32_t notAllowed = 0;  // refused for a forbidden extension
  int32_t tooDeep = 0;     // deeper than the maximum depth
  int32_t excluded = 0;    // left out of the results by the patterns (also counted elsewhere)
};
