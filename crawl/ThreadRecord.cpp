#include "crawl/ThreadRecord.h"

void ThreadRecord::SetNativeHandle(pthread_t handle) {
  std::lock_guard<std::mutex> guard(lock_);
  handle_ = handle;
}

pthread_t ThreadRecord::nativeHandle() const {
  std::lock_guard<std::mutex> guard(lock_);
  return handle_;
}

void ThreadRecord::MarkFinished() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    finished_ = true;
  }
  ended_.notify_all();
}

bool ThreadRecord::finished() const {
  std::lock_guard<std::mutex> guard(lock_);
  return finished_;
}

bool ThreadRecord::WaitFinished(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> guard(lock_);
  return ended_.wait_for(guard, timeout, [this] { return finished_; });
}
