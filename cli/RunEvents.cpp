#include "cli/RunEvents.h"

void RunEvents::OnFinished(int32_t) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++endings_;
  }
  changed_.notify_all();
}

void RunEvents::Interrupt() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    interrupted_ = true;
  }
  changed_.notify_all();
}

bool RunEvents::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait_until(guard, deadline, [this] { return interrupted_ || endings_ != endingsSeen_; });
  endingsSeen_ = endings_;
  const bool interrupted = interrupted_;
  interrupted_ = false;
  return interrupted;
}
