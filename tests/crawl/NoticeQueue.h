#pragma once
// The news a PortionHandOver gives, queued for the test's thread as a front end's own queue
// would hold them.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "crawl/PortionHandOver.h"

struct Notice {
  PortionHandOver::Event event = PortionHandOver::Event::PortionsWaiting;
  intptr_t crawl = 0;
  int32_t result = 0;
};

class NoticeQueue {
 public:
  // The notify of a hand-over for crawl, queuing here; the queue must outlive the crawl.
  PortionHandOver::Notify NotifyFor(intptr_t crawl) {
    return [this, crawl](PortionHandOver::Event event, int32_t result) {
      // Signalled under the lock: the test may end, and the queue go, as soon as it takes the
      // crawl's last notice, which it cannot do before the crawl's thread is done with the queue.
      std::lock_guard<std::mutex> guard(lock_);
      queue_.push_back(Notice{event, crawl, result});
      ready_.notify_one();
      return true;
    };
  }
  std::optional<Notice> Take(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    if (!ready_.wait_for(guard, timeout, [this] { return !queue_.empty(); })) return std::nullopt;
    Notice notice = queue_.front();
    queue_.pop_front();
    return notice;
  }
  size_t size() const {
    std::lock_guard<std::mutex> guard(lock_);
    return queue_.size();
  }

 private:
  mutable std::mutex lock_;
  std::condition_variable ready_;
  std::deque<Notice> queue_;
};
