#pragma once
#include <map>
#include <set>
#include <string>

#include "support/StaticSite.h"

// What a correct crawl of the realistic site finds: every address once, as requested.
struct RealisticSiteResult {
  std::set<std::string> pages;                 // HTML pages that answer 200 (request targets)
  std::set<std::string> otherSuccesses;        // other files reached by an anchor
  std::map<std::string, std::string> failures;  // request target -> status code
  std::set<std::string> successes() const;     // pages and other files together
};

// Fills a started site with pages linked as real sites link them: relative links in folders,
// dot segments, fragments, a query, a base element, absolute links with and without the port,
// protocol-relative links, links that are no pages (tel:, data:, ftp:, mail, script), two pages
// that differ only in letter case, padded hrefs, a UTF-8 page with non-ASCII paths, a GBK page
// that names its set only in a meta element, a stylesheet, and redirects inside and out of the site.
RealisticSiteResult FillRealisticSite(StaticSite& site);
