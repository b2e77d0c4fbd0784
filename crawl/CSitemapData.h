#pragma once
#include <boost/thread/shared_mutex.hpp>
#include <string>

#include "crawl/CrawlStartParams.h"
#include "crawl/PatternFilter.h"
#include "crawl/QueryRules.h"
#include "crawl/UrlLedger.h"
#include "web/RobotsPolicy.h"
#include "web/SiteOrigin.h"

// The state of one crawl, shared by the crawl thread and its workers; the front ends read
// the counters. The ledger guards its own state; hostLock guards the fields named beside it
// and is held only around the statements that touch them.
class CSitemapData {
 public:
  explicit CSitemapData(const CrawlStartParams& params);
  CSitemapData(const CSitemapData&) = delete;
  CSitemapData& operator=(const CSitemapData&) = delete;

  // Read only while the crawl runs.
  const CrawlStartParams params;
  PatternFilter patterns;
  // The parameters taken off every address before it is admitted.
  const QueryRules queryRules;
  // What the site's robots.txt allows when the rules obey it; decided before the workers
  // start and only read while they run.
  RobotsPolicy robots;
  // Every address of the crawl, its counters and its journal.
  UrlLedger ledger;

  mutable boost::shared_mutex hostLock;
  std::string host;                 // host alone; hostLock
  SiteOrigin origin;                // scheme, host and port of the crawl; hostLock
};
