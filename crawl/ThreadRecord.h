#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <pthread.h>

// One started background thread: its native handle and whether it has ended. Shared by the
// controller and the thread itself, so either may go first.
class ThreadRecord {
 public:
  void SetNativeHandle(pthread_t handle);
  pthread_t nativeHandle() const;
  void MarkFinished();
  bool finished() const;
  // True when the thread ended within timeout.
  bool WaitFinished(std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex lock_;
  mutable std::condition_variable ended_;
  pthread_t handle_{};
  bool finished_ = false;
};
