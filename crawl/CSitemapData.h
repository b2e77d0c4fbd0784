#pragma once
#include <boost/thread/shared_mutex.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crawl/CrawlCounters.h"
#include "crawl/CrawlPortion.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/PatternFilter.h"
#include "store/CrawlStores.h"
#include "web/RobotsPolicy.h"
#include "web/SiteOrigin.h"

// The state of one crawl, shared by the crawl thread and its workers; the front ends read
// the counters. Each lock guards the fields named beside it and is held only around the
// statements that touch them.
class CSitemapData {
 public:
  explicit CSitemapData(const CrawlStartParams& params);
  CSitemapData(const CSitemapData&) = delete;
  CSitemapData& operator=(const CSitemapData&) = delete;

  // Read only while the crawl runs.
  const CrawlStartParams params;
  PatternFilter patterns;
  // What the site's robots.txt allows when the rules obey it; decided before the workers
  // start and only read while they run.
  RobotsPolicy robots;
  std::unique_ptr<CrawlStores> stores;

  mutable boost::shared_mutex hostLock;
  std::string host;                 // host alone; hostLock
  SiteOrigin origin;                // scheme, host and port of the crawl; hostLock

  mutable boost::shared_mutex counterLock;
  CrawlCounters counters;           // counterLock

  mutable boost::shared_mutex pendingLock;
  std::vector<PageResult> pendingResults;              // fetch order; pendingLock
  std::chrono::steady_clock::time_point lastHandOver;  // pendingLock
};
