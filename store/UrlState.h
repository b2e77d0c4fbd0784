#pragma once
#include <cstdint>

// Where a URL stands in the crawl. Absent is only ever answered, never stored.
enum UrlState : int32_t { Waiting = 0, Crawled = 1, Failed = 2, Crawling = 3, NotAllowed = 4, Absent = 5 };
