#pragma once
#include <cstdint>

// Where a URL stands in the crawl. Absent is only ever answered, never stored.
enum UrlState : int32_t { Waiting = 0, Crawled = 1, Failed = 2, Crawling = 3, NotAllowed = 4, Absent = 5 };

// What a new record holds from the moment it is added: set later, a worker could take a refused
// address, or finish an excluded one, before the mark arrives.
struct UrlBirth {
  int32_t state = Waiting;
  int32_t excludedFlag = 0;
};
