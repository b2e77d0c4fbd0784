#include "crawl/LargePageGate.h"

LargePageGate::LargePageGate(size_t slots) : slots_(slots < 1 ? 1 : slots) {}

LargePageGate::Pass::~Pass() {
  if (gate_) gate_->Leave();
}

LargePageGate::Pass LargePageGate::Enter(size_t pageBytes, const std::function<bool()>& cancelled) {
  if (pageBytes <= kLargePage) return Pass(nullptr, true);
  std::unique_lock<std::mutex> hold(lock_);
  while (busy_ >= slots_) {
    if (cancelled && cancelled()) return Pass(nullptr, false);
    freed_.wait_for(hold, kCancelPoll);
  }
  ++busy_;
  return Pass(this, true);
}

size_t LargePageGate::busy() const {
  std::lock_guard<std::mutex> hold(lock_);
  return busy_;
}

void LargePageGate::Leave() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    --busy_;
  }
  freed_.notify_one();
}
