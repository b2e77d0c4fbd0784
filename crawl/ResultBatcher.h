#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "crawl/CrawlPortion.h"
#include "crawl/CrawlResultConsumer.h"
#include "web/SiteOrigin.h"

// Gathers a crawl's finished pages and hands them to its consumer in portions: when more than
// kThreshold wait, or kInterval has passed since the last portion, however slow the site.
// One hand-over at a time; a caller that finds one in progress leaves its results for the
// next. Thread safe.
class ResultBatcher {
 public:
  static constexpr size_t kThreshold = 200;
  static constexpr std::chrono::milliseconds kInterval{500};

  // origin makes the portion's addresses full; stopped ends a consumer's wait for room.
  ResultBatcher(std::shared_ptr<CrawlResultConsumer> consumer, std::function<SiteOrigin()> origin,
                std::function<bool()> stopped);

  void Add(PageResult result);
  // Hands over what waits when it is due, or at once and without waiting for the consumer
  // when last is set (the crawl's end). 0, or rc::kNoMemory.
  int32_t HandOver(bool last = false);
  // Results a resumed crawl had before, in portions of kThreshold, before any new one.
  void Replay(const SiteOrigin& origin, const std::vector<PageResult>& results);
  size_t pending() const;

 private:
  // Gives whatever waits; false when nothing did.
  bool GivePending(bool last);

  std::shared_ptr<CrawlResultConsumer> consumer_;
  std::function<SiteOrigin()> origin_;
  std::function<bool()> stopped_;
  mutable std::mutex lock_;  // guards pending_ and lastHandOver_
  std::vector<PageResult> pending_;  // fetch order
  std::chrono::steady_clock::time_point lastHandOver_;
  std::atomic<bool> busy_{false};
};
