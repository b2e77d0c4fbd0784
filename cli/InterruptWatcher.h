#pragma once
#include <functional>
#include <thread>

// Turns Ctrl-C (SIGINT) into a call of onInterrupt on the watcher's thread, which only tells
// the command's main thread, so the stop is raised there like the Stop button, not from a
// signal handler. The signal is blocked in every thread and taken by a watcher thread with
// sigwait; a second Ctrl-C ends the process at once with status 130.
class InterruptWatcher {
 public:
  // Blocks SIGINT for the calling thread and every thread started after it: call before
  // any other thread exists.
  static void BlockInterruptSignal();

  explicit InterruptWatcher(std::function<void()> onInterrupt);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

 private:
  void Watch();

  const std::function<void()> onInterrupt_;
  std::thread thread_;
};
