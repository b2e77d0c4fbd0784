#pragma once
#include <set>
#include <string>

// Links compare exactly: /A.html and /a.html are two pages on nearly every server.
using LinkSet = std::set<std::string>;

// The links of one page.
struct PageLinks {
  LinkSet internal;  // paths (with "?" and query) on the crawl's site, as they will be requested
  LinkSet external;  // full addresses on other sites
};
