#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "crawl/ContentChange.h"
#include "web/PageOutcome.h"
#include "web/SiteOrigin.h"

// A page's language alternates: (hreflang, full address), in document order.
using LanguageAlternates = std::vector<std::pair<std::string, std::string>>;

// What became of one page: its outcome (the status 200 is success, anything else a failure)
// and, when the rules ask for it, its lastmod in W3C form (empty: the writer's date).
// Also its link depth, the path of the page whose link admitted it (empty for a start
// address), whether it goes into the sitemap (a page naming another canonical address does
// not), its language alternates and its title when they are asked for.
struct PageResult {
  std::string path;
  PageOutcome outcome;
  std::string lastmod;
  int32_t depth = 0;
  std::string parent;
  bool inSitemap = true;
  LanguageAlternates alternates;
  std::string title;  // its <title> when the HTML sitemap page is asked for
  // Under lastmod from content: the hash of its body and how it compares with the history.
  std::string contentHash;
  ContentChange contentChange = ContentChange::Unknown;
  std::string redirectTo;  // a redirect answer: the full address it pointed to
  std::vector<std::string> images;  // when asked for: the full addresses of its images
};

// The sitemap protocol's longest address; a longer one is fetched and listed, but not in the sitemap.
inline constexpr size_t kMaxSitemapAddress = 2048;

// A page that did not answer 200: its path and outcome, the full address of the page whose
// link admitted it (empty for a start address) and, for a failing redirect, the full address
// it pointed to.
struct FailedPage {
  std::string path;
  PageOutcome outcome;
  std::string foundOn;
  std::string redirectTo;
};

// One portion of finished pages as a crawl hands it over, in the order they were fetched.
// Outcomes stay typed: the front ends make their texts where they show or write them.
struct CrawlPortion {
  std::vector<std::pair<std::string, PageOutcome>> entries;   // (path, outcome), fetch order
  std::vector<std::string> okPaths;                            // paths with "200", fetch order
  std::vector<std::string> okAddresses;                        // their full addresses, fetch order
  std::vector<FailedPage> failures;                            // the others, fetch order
  std::set<std::string> sitemapAddresses;                      // full addresses of "200" in the sitemap, byte order
  std::map<std::string, std::string> lastmods;                 // full address -> its own lastmod, where it has one
  std::map<std::string, int32_t> depths;                       // full address in the sitemap -> its link depth
  std::map<std::string, LanguageAlternates> alternates;        // full address -> its alternates, where it has some
  std::map<std::string, std::string> titles;                   // full address in the sitemap -> its title, where it has one
  std::map<std::string, std::vector<std::string>> images;      // full address in the sitemap -> its images, where it has some
  // Pages left out of the sitemap as their address is longer than kMaxSitemapAddress.
  size_t tooLong = 0;

  bool empty() const { return entries.empty(); }
  // Appends a later portion of the same crawl.
  void Append(CrawlPortion&& later);
};

// The portion of results, addresses made full on origin.
CrawlPortion MakePortion(const SiteOrigin& origin, const std::vector<PageResult>& results);
