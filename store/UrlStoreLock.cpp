#include "store/UrlStoreLock.h"

#include <chrono>
#include <thread>

boost::shared_mutex urlStoreLock;

UrlStoreWriteLock::UrlStoreWriteLock() {
  try {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
      if (urlStoreLock.try_lock()) {
        owns_ = true;
        return;
      }
      // std's sleep, not Boost's: a Boost interruption must not throw out of a store call.
      if (attempt < kAttempts) std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
    }
  } catch (...) {
    owns_ = false;
  }
}

UrlStoreWriteLock::~UrlStoreWriteLock() {
  if (owns_) urlStoreLock.unlock();
}
