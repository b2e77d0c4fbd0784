#include "crawl/CSitemapData.h"

CSitemapData::CSitemapData(const CrawlStartParams& start)
    : params(start), stores(std::make_unique<CrawlStores>()), lastHandOver(std::chrono::steady_clock::now()) {
  patterns.includePatterns = params.includePatterns;
  patterns.excludePatterns = params.excludePatterns;
  origin.scheme = "http";
}
