#pragma once
#include <boost/thread/shared_mutex.hpp>

// The one lock of every in-memory URL store in the process. Readers wait for it; writers poll
// it (UrlStoreWriteLock) so that a worker never blocks for long on a busy store.
extern boost::shared_mutex urlStoreLock;

// Exclusive hold of urlStoreLock for one write: one try, then up to 99 waits of at most 10 ms
// each, so a writer never waits much more than a second.
// owns() tells whether the hold was obtained; the destructor releases it.
class UrlStoreWriteLock {
 public:
  UrlStoreWriteLock();
  ~UrlStoreWriteLock();
  UrlStoreWriteLock(const UrlStoreWriteLock&) = delete;
  UrlStoreWriteLock& operator=(const UrlStoreWriteLock&) = delete;
  bool owns() const { return owns_; }

  static constexpr int kAttempts = 100;
  static constexpr int kPauseMs = 10;

 private:
  bool owns_ = false;
};
