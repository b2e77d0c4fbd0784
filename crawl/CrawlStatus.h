#pragma once
#include <cstdint>

#include "crawl/CrawlCounters.h"

// found = waiting+crawling+crawledOk+failed+notAllowed+tooDeep; 0 when found is 0, else
// (crawledOk+failed+notAllowed+tooDeep)/found in single precision, times 100, truncated, 0..100.
int32_t ProgressPosition(const CrawlCounters& counters);
// found as above.
int32_t FoundCount(const CrawlCounters& counters);
