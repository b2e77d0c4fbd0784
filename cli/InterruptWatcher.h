#pragma once
#include <cstdint>
#include <thread>

#include "common/WindowMessages.h"

// Turns Ctrl-C (SIGINT) into a message for the command's own message loop, so the stop is
// raised from the main thread like the Stop button, not from a signal handler. The signal is
// blocked in every thread and taken by a watcher thread with sigwait; a second Ctrl-C ends
// the process at once with status 130.
class InterruptWatcher {
 public:
  static constexpr uint32_t kInterruptMessage = WM_USER + 100;

  // Blocks SIGINT for the calling thread and every thread started after it: call before
  // any other thread exists.
  static void BlockInterruptSignal();

  explicit InterruptWatcher(WindowHandle target);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

 private:
  void Watch();

  WindowHandle target_;
  std::thread thread_;
};
