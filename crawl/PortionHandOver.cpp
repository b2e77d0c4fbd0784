#include "crawl/PortionHandOver.h"

#include <utility>

PortionHandOver::PortionHandOver(Notify notify) : notify_(std::move(notify)) {}

void PortionHandOver::OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) {
  std::unique_lock<std::mutex> guard(lock_);
  waiting_.Append(std::move(portion));
  const uint64_t mine = ++given_;
  if (!notified_) {
    if (!notify_ || !notify_(Event::PortionsWaiting, 0)) return;  // no one to wait for
    notified_ = true;
  }
  while (taken_ < mine && !stopped()) takenChanged_.wait_for(guard, kStopPoll);
}

void PortionHandOver::OnFinished(int32_t result) {
  if (notify_) notify_(Event::Finished, result);
}

CrawlPortion PortionHandOver::Take() {
  CrawlPortion portion;
  std::lock_guard<std::mutex> guard(lock_);
  std::swap(portion, waiting_);
  notified_ = false;
  takenUpTo_ = given_;
  return portion;
}

void PortionHandOver::Release() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    taken_ = takenUpTo_;
  }
  takenChanged_.notify_all();
}

bool PortionHandOver::PortionWaiting() const {
  std::lock_guard<std::mutex> guard(lock_);
  return taken_ < given_;
}
