#include "common/Event.h"

void AutoResetEvent::Set() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    signalled_ = true;
  }
  cv_.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard<std::mutex> guard(lock_);
  signalled_ = false;
}

void AutoResetEvent::Wait() {
  std::unique_lock<std::mutex> guard(lock_);
  cv_.wait(guard, [this] { return signalled_; });
  signalled_ = false;
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!cv_.wait_for(guard, timeout, [this] { return signalled_; })) return false;
  signalled_ = false;
  return true;
}

bool AutoResetEvent::IsSet() const {
  std::lock_guard<std::mutex> guard(lock_);
  return signalled_;
}
