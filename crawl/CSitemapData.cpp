#include "crawl/CSitemapData.h"

CSitemapData::CSitemapData(const CrawlStartParams& start)
    : params(start), ledger(start.maxDepth, start.journalPath) {
  patterns.includePatterns = params.includePatterns;
  patterns.excludePatterns = params.excludePatterns;
  origin.scheme = "http";
}
