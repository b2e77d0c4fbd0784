#include "crawl/CrawlSync.h"

#include <boost/thread/locks.hpp>

// Never destroyed: a detached crawl thread may still use them while the process exits.
int32_t& stopRequested = *new int32_t(0);
boost::shared_mutex& stopLock = *new boost::shared_mutex;
boost::shared_mutex& counterLock = *new boost::shared_mutex;
boost::shared_mutex& hostLock = *new boost::shared_mutex;
boost::shared_mutex& pendingLock = *new boost::shared_mutex;
boost::shared_mutex& shownLock = *new boost::shared_mutex;
AutoResetEvent& resultsConsumedEvent = *new AutoResetEvent;

bool IsStopRequested() {
  boost::shared_lock<boost::shared_mutex> guard(stopLock);
  return stopRequested != 0;
}

void SetStopRequested(int32_t value) {
  boost::unique_lock<boost::shared_mutex> guard(stopLock);
  stopRequested = value;
}
