#include "crawl/WorkerPool.h"

#include <boost/thread/thread.hpp>
#include <memory>
#include <vector>

void WorkerPool::Run(size_t count, const std::function<void()>& work, std::chrono::milliseconds interval,
                     const std::function<void()>& tick) {
  std::vector<std::unique_ptr<boost::thread>> workers;
  boost::thread::attributes attrs;
  attrs.set_stack_size(kStackBytes);
  for (size_t i = 0; i < count; ++i) {
    try {
      workers.push_back(std::make_unique<boost::thread>(attrs, work));
    } catch (...) {
      break;  // as many workers as the system gives
    }
  }
  if (workers.empty()) work();
  for (auto& worker : workers) {
    while (!worker->try_join_for(boost::chrono::milliseconds(interval.count()))) tick();
  }
}
