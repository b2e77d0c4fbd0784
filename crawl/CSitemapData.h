#pragma once
#include <atomic>
#include <boost/unordered_map.hpp>
#include <cstdint>
#include <memory>
#include <string>

#include "common/StringICompare.h"
#include "common/WindowMessages.h"
#include "crawl/CrawlCounters.h"
#include "crawl/CrawlRules.h"
#include "store/CrawlStores.h"
#include "web/RobotsPolicy.h"
#include "web/SiteOrigin.h"

// What became of one page: its result code text ("200" success, anything else a failure
// code) and, when the rules ask for it, its lastmod in W3C form (empty: the writer's date).
struct PageResult {
  std::string code;
  std::string lastmod;
};

// Path to its result.
using CrawlResultMap = boost::unordered_map<std::string, PageResult>;

// The state of the current crawl, shared by the crawl thread, its workers and the main window.
class CSitemapData {
 public:
  CSitemapData();
  CSitemapData(const CSitemapData&) = delete;
  CSitemapData& operator=(const CSitemapData&) = delete;

  // Clears host, origin, both result maps, the stores with their pattern sets and the
  // counters. Takes no locks: called only while no crawl runs.
  void Reset();

  std::string host;                 // host alone; hostLock
  SiteOrigin origin;                // scheme, host and port of the start address; hostLock
  WindowHandle notifyWindow = kNoWindow;
  int32_t maxDepth = 0;
  int32_t threadCount = 0;
  StringISet forbiddenExtensions;
  CrawlRules rules;
  // What the site's robots.txt allows when the rules obey it; decided before the workers
  // start and only read while they run.
  RobotsPolicy robots;
  CrawlResultMap pendingResults;    // pendingLock
  CrawlResultMap shownResults;      // shownLock
  std::unique_ptr<CrawlStores> stores;
  CrawlCounters counters;           // counterLock

  // Hand-over bookkeeping. shownGeneration numbers the portions put into shownResults
  // (written under the exclusive side of shownLock); readGeneration is the last portion the
  // main window has taken. A portion is never replaced before it has been read.
  std::atomic<bool> handOverBusy{false};
  uint64_t shownGeneration = 0;
  std::atomic<uint64_t> readGeneration{0};
};

// An empty result map with 11 buckets and a maximum load factor of 1.0.
CrawlResultMap MakeResultMap();
