#pragma once
#include <string>

#include "web/SiteOrigin.h"

// What a page's canonical address means for its place in the sitemap.
struct CanonicalVerdict {
  bool listed = true;       // the page itself goes into the sitemap
  std::string admitPath;    // a page of the site to admit as if linked from this one; empty: none
};

// canonical: the full address the page at path names (empty: none). None, or the page itself
// (the same path on the crawl's site: the crawl requests its pages by path), keeps the page;
// another page of the site leaves it out and is to be admitted; another site's address leaves
// it out and is not followed. A canonical that is no address is ignored.
CanonicalVerdict JudgeCanonical(const std::string& canonical, const std::string& path, const SiteOrigin& origin);
