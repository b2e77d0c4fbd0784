#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "crawl/CrawlResultConsumer.h"

// What the command's main thread waits for: a crawl that ends (every crawl of the run is given
// this consumer) or Ctrl-C. The waits are on a condition variable; nothing polls.
class RunEvents : public CrawlResultConsumer {
 public:
  // The command shows nothing of the portions; the record keeps them.
  void OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) override {}
  void OnFinished(int32_t result) override;

  // From the interrupt watcher's thread.
  void Interrupt();

  // Waits until a crawl has ended or an interrupt came since the last wait, or until deadline.
  // True when an interrupt came (it is answered once).
  bool WaitUntil(std::chrono::steady_clock::time_point deadline);

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  uint64_t endings_ = 0;     // crawls ended, counted by OnFinished
  uint64_t endingsSeen_ = 0;  // as the last wait found them
  bool interrupted_ = false;
};
