#include "cli/InterruptWatcher.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <utility>

namespace {

// SIGUSR2 only wakes the watcher when the command ends.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGUSR2);
  return set;
}

}  // namespace

void InterruptWatcher::BlockInterruptSignal() {
  sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)), thread_([this] { Watch(); }) {}

InterruptWatcher::~InterruptWatcher() {
  pthread_kill(thread_.native_handle(), SIGUSR2);
  thread_.join();
}

void InterruptWatcher::Watch() {
  sigset_t set = WatchedSignals();
  int interrupts = 0;
  for (;;) {
    int sig = 0;
    if (sigwait(&set, &sig) != 0) continue;
    if (sig != SIGINT) return;
    if (++interrupts == 1) {
      if (onInterrupt_) onInterrupt_();
    } else {
      static const char kMessage[] = "\nveltro-sitemap-cli: interrupted again, ending without writing the files\n";
      ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
      (void)ignored;
      _exit(130);
    }
  }
}
