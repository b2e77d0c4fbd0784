#include "web/LargeStackRunner.h"

#include <boost/thread/thread.hpp>

bool RunOnLargeStack(size_t stackBytes, const std::function<void()>& work) {
  try {
    boost::thread::attributes attrs;
    attrs.set_stack_size(stackBytes);
    boost::thread worker(attrs, [&work] {
      try {
        work();
      } catch (...) {
      }
    });
    worker.join();
    return true;
  } catch (...) {
    return false;
  }
}
