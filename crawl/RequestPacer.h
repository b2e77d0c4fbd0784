#pragma once
#include <chrono>
#include <functional>
#include <mutex>

// Spaces the requests of all workers of a crawl: each starts at least the interval after the
// one before it. An interval of 0 lets every request go at once.
class RequestPacer {
 public:
  // Forgets the earlier requests: the next one goes at once.
  void Reset(std::chrono::milliseconds interval);
  // From the next request on; the one before still counts.
  void SetInterval(std::chrono::milliseconds interval);
  // Waits for this request's turn; false when stopped() became true while waiting.
  bool WaitTurn(const std::function<bool()>& stopped);
  // No request's turn comes before now + wait (a busy site asked the crawl to hold back);
  // a longer pause already set stays.
  void Pause(std::chrono::milliseconds wait);
  // How long the pause set last still holds; 0 when there is none.
  std::chrono::milliseconds PauseRemaining();

 private:
  using Clock = std::chrono::steady_clock;
  std::mutex lock_;  // guards interval_, last_ and pausedUntil_
  std::chrono::milliseconds interval_{0};
  Clock::time_point last_{};  // when the latest request's turn came
  Clock::time_point pausedUntil_{};
};
