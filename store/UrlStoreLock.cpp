#include "store/UrlStoreLock.h"

#include <boost/chrono.hpp>
#include <boost/thread/thread.hpp>

boost::shared_mutex urlStoreLock;

UrlStoreWriteLock::UrlStoreWriteLock() {
  try {
    // The timed waits are Boost interruption points; a store call must not end in one.
    boost::this_thread::disable_interruption noInterruption;
    if (urlStoreLock.try_lock()) {
      owns_ = true;
      return;
    }
    // Each further attempt waits up to one pause for the lock instead of sleeping the whole
    // pause: the writer gets the lock the moment it is free, and still gives up after about
    // a second. A plain sleep stalled a whole batch for 10 ms on a lock held for microseconds.
    for (int attempt = 2; attempt <= kAttempts; ++attempt) {
      if (urlStoreLock.try_lock_for(boost::chrono::milliseconds(kPauseMs))) {
        owns_ = true;
        return;
      }
    }
  } catch (...) {
    owns_ = false;
  }
}

UrlStoreWriteLock::~UrlStoreWriteLock() {
  if (owns_) urlStoreLock.unlock();
}
