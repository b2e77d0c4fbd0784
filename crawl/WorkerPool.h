#pragma once
#include <chrono>
#include <cstddef>
#include <functional>

// The worker threads of one crawl: count threads each run work() once; the calling thread
// runs tick() every interval until they have all returned, so results of a slow site are
// still handed over. As many threads as the system gives; with none, work() runs on the
// calling thread.
class WorkerPool {
 public:
  // A worker's stack. A page needs far less than the default 8 MiB: the link extraction moves
  // deeply nested pages to a thread of its own. 256 workers then reserve 256 MiB, not 2 GiB.
  static constexpr size_t kStackBytes = size_t(1) << 20;

  static void Run(size_t count, const std::function<void()>& work, std::chrono::milliseconds interval,
                  const std::function<void()>& tick);
};
