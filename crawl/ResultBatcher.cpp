#include "crawl/ResultBatcher.h"

#include "common/ResultCodes.h"

ResultBatcher::ResultBatcher(std::shared_ptr<CrawlResultConsumer> consumer, std::function<SiteOrigin()> origin,
                             std::function<bool()> stopped)
    : consumer_(std::move(consumer)),
      origin_(std::move(origin)),
      stopped_(std::move(stopped)),
      lastHandOver_(std::chrono::steady_clock::now()) {}

void ResultBatcher::Add(PageResult result) {
  std::lock_guard<std::mutex> guard(lock_);
  pending_.push_back(std::move(result));
}

size_t ResultBatcher::pending() const {
  std::lock_guard<std::mutex> guard(lock_);
  return pending_.size();
}

int32_t ResultBatcher::HandOver(bool last) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (pending_.empty()) return rc::kOk;
    const bool due = last || pending_.size() > kThreshold ||
                     std::chrono::steady_clock::now() - lastHandOver_ >= kInterval;
    if (!due) return rc::kOk;
  }
  bool idle = false;
  if (!busy_.compare_exchange_strong(idle, true)) return rc::kOk;  // the next one takes them
  int32_t result = rc::kOk;
  try {
    GivePending(last);
  } catch (...) {
    result = rc::kNoMemory;
  }
  busy_.store(false);
  return result;
}

bool ResultBatcher::GivePending(bool last) {
  std::vector<PageResult> results;
  {
    std::lock_guard<std::mutex> guard(lock_);
    results.swap(pending_);
    lastHandOver_ = std::chrono::steady_clock::now();
  }
  if (results.empty()) return false;
  CrawlPortion portion = MakePortion(origin_(), results);
  // The last portion waits for nobody: the crawl ends, and the front end takes it when it can.
  if (consumer_) consumer_->OnPortion(std::move(portion), [this, last] { return last || stopped_(); });
  return true;
}

void ResultBatcher::Replay(const SiteOrigin& origin, const std::vector<PageResult>& results) {
  for (size_t first = 0; first < results.size() && consumer_; first += kThreshold) {
    const size_t end = std::min(results.size(), first + kThreshold);
    std::vector<PageResult> part(results.begin() + first, results.begin() + end);
    consumer_->OnPortion(MakePortion(origin, part), stopped_);
  }
}
