#include "crawl/CSitemapData.h"

CSitemapData::CSitemapData(const CrawlStartParams& start)
    : params(start),
      queryRules(start.rules.removeParams, start.rules.removeAllParams, start.rules.keepParams),
      ledger(start.maxDepth, start.journalPath, start.rules.maxPages) {
  patterns.includePatterns = params.includePatterns;
  patterns.excludePatterns = params.excludePatterns;
  patterns.skipPatterns.insert(params.rules.skipPatterns.begin(), params.rules.skipPatterns.end());
  origin.scheme = "http";
}
