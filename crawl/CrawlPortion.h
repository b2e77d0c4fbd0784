#pragma once
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CSitemapControl;

// One portion of results as the main window and the headless front end take it.
struct CrawlPortion {
  std::vector<std::pair<std::string, std::string>> entries;   // (path, code), map order
  std::vector<std::string> okPaths;                            // paths with "200", map order
  std::vector<std::string> okAddresses;                        // their full addresses, map order
  std::vector<std::pair<std::string, std::string>> failures;   // (path, code) of the others, map order
  std::set<std::string> sitemapAddresses;                      // full addresses of "200", byte order
  std::map<std::string, std::string> lastmods;                 // full address -> its own lastmod, where it has one
};

// Reads shownResults under the shared side of shownLock and marks the portion as read, so
// the next hand-over may replace it. Each portion is given out once: a second read of the
// same portion gives an empty one. Does not signal resultsConsumedEvent.
CrawlPortion ReadShownResults(CSitemapControl& control);

// scheme + "://" + host + port + path of the current crawl ("http://" + host + path for a
// plain http start address without a port).
std::string FullAddressOf(CSitemapControl& control, const std::string& path);
