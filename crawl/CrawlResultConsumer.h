#pragma once
#include <cstdint>
#include <functional>

#include "crawl/CrawlPortion.h"

// Where a crawl's results go: a front end implements it. Both calls come on the crawl's own
// threads, one at a time, and never after OnFinished.
class CrawlResultConsumer {
 public:
  virtual ~CrawlResultConsumer() = default;
  // A portion of finished pages. The consumer may hold the worker until it has room for
  // more, but must return once stopped() is true: a stop never waits on a front end.
  virtual void OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) = 0;
  // The crawl has ended with result (0 ended, rc::kStopped stopped, another code when it
  // could not run); every portion has been given before.
  virtual void OnFinished(int32_t result) = 0;
};
