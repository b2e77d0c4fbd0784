#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

// Hands the waiting addresses of a crawl to its workers one at a time, so a worker starts its
// next page the moment it has finished one, and tells them when the crawl is over: nothing
// waits and no page runs, or a stop was asked for.
class CrawlScheduler {
 public:
  // take: moves one waiting path into its argument; false when none waits. Called under the
  // scheduler's lock, so it needs none of its own against other takes.
  using Take = std::function<bool(std::string&)>;
  using Stopped = std::function<bool()>;

  CrawlScheduler(Take take, Stopped stopped);
  CrawlScheduler(const CrawlScheduler&) = delete;
  CrawlScheduler& operator=(const CrawlScheduler&) = delete;

  // The next path to process (true), or false when the crawl is over. Waits while other
  // workers run pages that may still admit new paths.
  bool Next(std::string& path);
  // A page handed out by Next has been handled; its new paths, if any, are in the store.
  void Done();

  // How often a waiting worker looks at the stop request.
  static constexpr std::chrono::milliseconds kStopPoll{50};

 private:
  Take take_;
  Stopped stopped_;
  std::mutex lock_;               // guards running_, waiters_, over_
  std::condition_variable changed_;
  size_t running_ = 0;
  size_t waiters_ = 0;
  bool over_ = false;
};
