#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "common/StringICompare.h"
#include "crawl/CrawlRules.h"
#include "crawl/SitemapContent.h"
#include "web/http_options.h"

// Everything one crawl starts from; the crawl keeps its own copy.
struct CrawlStartParams {
  std::string startUrl;  // as typed, trimmed, UTF-8
  int32_t maxDepth = 0;
  int32_t threadCount = 0;
  StringISet forbiddenExtensions;
  CrawlRules rules;
  SitemapContent sitemap;
  StringISet includePatterns;
  StringISet excludePatterns;
  // The options of every request; unset: the client's defaults.
  std::optional<http_options> httpOptions;
  // Requests a second at most, all workers together (0: no limit); beside the rules' interval,
  // the stricter of the two holds. Like the request options it is this run's, not the journal's.
  int32_t maxRate = 0;
  // The folder of the crawl's journal; empty: the crawl keeps none.
  std::string journalPath;
  // Go on with the unfinished crawl of journalPath instead of starting afresh (a journal that
  // cannot be resumed is replaced).
  bool resume = false;
  // Where the sites' histories live (lastmod from content), each in a folder of its own;
  // relative to the working folder like the settings.
  std::string historyFolder = "db/history";
};
