#include "crawl/PostingResultConsumer.h"

#include <utility>

PostingResultConsumer::PostingResultConsumer(WindowHandle window, intptr_t crawlId)
    : window_(window), crawlId_(crawlId) {}

void PostingResultConsumer::OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) {
  std::unique_lock<std::mutex> guard(lock_);
  waiting_.Append(std::move(portion));
  const uint64_t mine = ++given_;
  if (!posted_) {
    if (!PostWindowMessage(window_, WM_CRAWL_RESULTS, 0, crawlId_)) return;  // no window to wait for
    posted_ = true;
  }
  while (taken_ < mine && !stopped()) takenChanged_.wait_for(guard, kStopPoll);
}

void PostingResultConsumer::OnFinished(int32_t result) {
  PostWindowMessage(window_, WM_CRAWL_FINISHED, static_cast<uintptr_t>(static_cast<uint32_t>(result)), crawlId_);
}

CrawlPortion PostingResultConsumer::Take() {
  CrawlPortion portion;
  std::lock_guard<std::mutex> guard(lock_);
  std::swap(portion, waiting_);
  posted_ = false;
  takenUpTo_ = given_;
  return portion;
}

void PostingResultConsumer::Release() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    taken_ = takenUpTo_;
  }
  takenChanged_.notify_all();
}

bool PostingResultConsumer::PortionWaiting() const {
  std::lock_guard<std::mutex> guard(lock_);
  return taken_ < given_;
}
