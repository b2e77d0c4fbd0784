#include "crawl/CrawlScheduler.h"

CrawlScheduler::CrawlScheduler(Take take, Stopped stopped) : take_(std::move(take)), stopped_(std::move(stopped)) {}

bool CrawlScheduler::Next(std::string& path) {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    if (over_ || stopped_()) return false;
    if (take_(path)) {
      ++running_;
      return true;
    }
    if (running_ == 0) {
      // Nothing waits and nothing runs that could add to it: the crawl is complete.
      over_ = true;
      changed_.notify_all();
      return false;
    }
    ++waiters_;
    changed_.wait_for(hold, kStopPoll);
    --waiters_;
  }
}

void CrawlScheduler::Done() {
  std::lock_guard<std::mutex> hold(lock_);
  if (running_ > 0) --running_;
  if (waiters_ > 0) changed_.notify_all();
}
