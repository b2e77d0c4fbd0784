#pragma once
#include <boost/thread/shared_mutex.hpp>
#include <cstdint>

#include "common/Event.h"
#include "common/WindowMessages.h"

// Process-wide synchronisation of the crawl engine. Each lock is held only around the
// statements that touch its data; the one nesting allowed is shownLock, then pendingLock.
// The objects are created on first use and never destroyed, so a crawl thread that is
// still running while the process exits never touches a destroyed lock.

extern int32_t& stopRequested;                 // 0 or 1, guarded by stopLock
extern boost::shared_mutex& stopLock;
extern boost::shared_mutex& counterLock;       // every CrawlCounters field
extern boost::shared_mutex& hostLock;          // CSitemapData host and origin
extern boost::shared_mutex& pendingLock;       // CSitemapData pendingResults
extern boost::shared_mutex& shownLock;         // CSitemapData shownResults
extern AutoResetEvent& resultsConsumedEvent;   // the main window has read a portion; a crawl ended

constexpr uint32_t WM_CRAWL_RESULTS = WM_USER + 10;   // a portion was moved into shownResults
constexpr uint32_t WM_CRAWL_FINISHED = WM_USER + 20;  // the crawl thread ends; lParam = the CSitemapControl
constexpr uint32_t WM_CRAWL_RESET = WM_USER + 30;     // posted by the crawl page when a crawl starts

// stopRequested read under the shared side of stopLock.
bool IsStopRequested();
// stopRequested written under the exclusive side of stopLock.
void SetStopRequested(int32_t value);
