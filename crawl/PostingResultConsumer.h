#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "common/WindowMessages.h"
#include "crawl/CrawlMessages.h"
#include "crawl/CrawlResultConsumer.h"

// A window's consumer. Portions wait here for the window's thread, which WM_CRAWL_RESULTS
// calls to Take them; the worker that handed one over waits until the window has taken it,
// so a busy window slows the crawl down instead of piling up portions. A stop, or a window
// that is gone, ends the wait at once; what waits is still taken with the next message.
class PostingResultConsumer : public CrawlResultConsumer {
 public:
  // How often a waiting worker looks at the stop request.
  static constexpr std::chrono::milliseconds kStopPoll{50};

  PostingResultConsumer(WindowHandle window, intptr_t crawlId);

  void OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) override;
  // Posts WM_CRAWL_FINISHED (wParam: the result, lParam: the crawl's id).
  void OnFinished(int32_t result) override;

  // On the window's thread: every portion that waits, as one. The worker that handed it over
  // goes on at Release, once the window has shown it, so the record never runs ahead of the
  // pages while they show a portion.
  CrawlPortion Take();
  void Release();
  intptr_t crawlId() const { return crawlId_; }
  // A portion was handed over that the window has not taken yet.
  bool PortionWaiting() const;

 private:
  const WindowHandle window_;
  const intptr_t crawlId_;
  mutable std::mutex lock_;  // guards waiting_, posted_ and taken_
  std::condition_variable takenChanged_;
  CrawlPortion waiting_;
  bool posted_ = false;   // a WM_CRAWL_RESULTS is on its way and not answered yet
  uint64_t given_ = 0;    // portions handed over
  uint64_t takenUpTo_ = 0;  // portions the window has taken and is showing
  uint64_t taken_ = 0;      // portions the window has shown
};
