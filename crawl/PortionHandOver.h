#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "crawl/CrawlPortion.h"
#include "crawl/CrawlResultConsumer.h"

// A consumer whose portions wait for a front end's own thread. notify tells the front end
// that portions wait (once until it takes them) and that the crawl has finished; the worker
// that handed a portion over waits until the front end has taken and shown it, so a busy front
// end slows the crawl down instead of piling up portions. A stop, or a notify that finds no
// one to tell (false), ends the wait at once; what waits is still taken with the next Take.
class PortionHandOver : public CrawlResultConsumer {
 public:
  enum class Event { PortionsWaiting, Finished };
  // Called on the crawl's threads; must only queue the news (never wait for the front end).
  // result is the crawl's for Finished, else 0. False: no one is there to take portions.
  using Notify = std::function<bool(Event event, int32_t result)>;

  // How often a waiting worker looks at the stop request.
  static constexpr std::chrono::milliseconds kStopPoll{50};

  explicit PortionHandOver(Notify notify);

  void OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) override;
  void OnFinished(int32_t result) override;

  // On the front end's thread: every portion that waits, as one. The worker that handed it
  // over goes on at Release, once the front end has shown it, so the record never runs ahead
  // of what is shown.
  CrawlPortion Take();
  void Release();
  // A portion was handed over that the front end has not taken yet.
  bool PortionWaiting() const;

 private:
  const Notify notify_;
  mutable std::mutex lock_;  // guards waiting_, notified_ and the counts
  std::condition_variable takenChanged_;
  CrawlPortion waiting_;
  bool notified_ = false;   // PortionsWaiting was told and not answered by a Take yet
  uint64_t given_ = 0;      // portions handed over
  uint64_t takenUpTo_ = 0;  // portions the front end has taken and is showing
  uint64_t taken_ = 0;      // portions the front end has shown
};
