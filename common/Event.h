#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

// An auto-reset event: Set releases one waiter (or the next one to wait) and then
// clears itself. Initially not signalled.
class AutoResetEvent {
 public:
  void Set();
  void Reset();
  // Waits without limit and consumes the signal.
  void Wait();
  // Waits up to timeout; true when the signal was consumed.
  bool WaitFor(std::chrono::milliseconds timeout);
  bool IsSet() const;

 private:
  mutable std::mutex lock_;
  std::condition_variable cv_;
  bool signalled_ = false;
};
