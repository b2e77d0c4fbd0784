#include "crawl/RequestPacer.h"

#include <algorithm>
#include <thread>

namespace {
// A waiting request looks at the stop request this often.
constexpr std::chrono::milliseconds kStopPoll{50};
}  // namespace

void RequestPacer::Reset(std::chrono::milliseconds interval) {
  std::lock_guard<std::mutex> hold(lock_);
  interval_ = std::max(interval, std::chrono::milliseconds(0));
  last_ = Clock::time_point{};
}

void RequestPacer::SetInterval(std::chrono::milliseconds interval) {
  std::lock_guard<std::mutex> hold(lock_);
  interval_ = std::max(interval, std::chrono::milliseconds(0));
}

bool RequestPacer::WaitTurn(const std::function<bool()>& stopped) {
  Clock::time_point turn;
  {
    std::lock_guard<std::mutex> hold(lock_);
    const Clock::time_point now = Clock::now();
    turn = last_ == Clock::time_point{} ? now : std::max(now, last_ + interval_);
    turn = std::max(turn, pausedUntil_);
    last_ = turn;
  }
  for (Clock::time_point now = Clock::now(); now < turn; now = Clock::now()) {
    if (stopped && stopped()) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(turn - now, kStopPoll));
    // A pause set while this request waited holds it back too: it takes a new turn after
    // the pause, spaced from the others by the interval as before.
    std::lock_guard<std::mutex> hold(lock_);
    if (pausedUntil_ > turn) {
      turn = std::max(pausedUntil_, last_ + interval_);
      last_ = turn;
    }
  }
  return true;
}

void RequestPacer::Pause(std::chrono::milliseconds wait) {
  std::lock_guard<std::mutex> hold(lock_);
  pausedUntil_ = std::max(pausedUntil_, Clock::now() + wait);
}

std::chrono::milliseconds RequestPacer::PauseRemaining() {
  std::lock_guard<std::mutex> hold(lock_);
  const Clock::time_point now = Clock::now();
  if (pausedUntil_ <= now) return std::chrono::milliseconds(0);
  return std::chrono::ceil<std::chrono::milliseconds>(pausedUntil_ - now);
}
