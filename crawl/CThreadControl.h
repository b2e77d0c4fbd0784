#pragma once
#include <atomic>
#include <boost/noncopyable.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "crawl/ThreadRecord.h"

// Base of the background-thread controllers. state: -1 never started, 1 running, 2 stopped.
// Each controller starts its thread from a typed record of its own. Threads are detached:
// the controller may go before its thread, and a thread that outlives the window keeps only
// what it shares (the crawl object or the results it saves, in shared ownership).
class CThreadControl : private boost::noncopyable {
 public:
  CThreadControl() = default;
  virtual ~CThreadControl();
  virtual int32_t Stop() = 0;

  int32_t state() const { return state_.load(); }
  void SetState(int32_t state) { state_.store(state); }
  bool HasThread() const;
  // True when the last started thread has ended within timeout, or no thread was started.
  // The application uses it to decide whether it may shut down under a crawl.
  bool WaitFinished(std::chrono::milliseconds timeout) const;

 protected:
  // Runs body on a new detached thread; false when the thread cannot be created.
  bool StartThread(std::function<void()> body);

 private:
  std::shared_ptr<ThreadRecord> CurrentThread() const;

  std::atomic<int32_t> state_{-1};
  mutable std::mutex threadLock_;
  std::shared_ptr<ThreadRecord> thread_;
};
