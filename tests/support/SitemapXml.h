#pragma once
// Reads a sitemap document back with TinyXML, as a search engine would: well-formed, the
// sitemap namespace on urlset, the xhtml prefix declared exactly when alternates are used.
#include <string>
#include <utility>
#include <vector>

struct ParsedSitemapUrl {
  std::string loc, lastmod, changefreq, priority;
  bool hasChangefreq = false, hasPriority = false;
  std::vector<std::pair<std::string, std::string>> alternates;  // (hreflang, href)
};

struct ParsedSitemap {
  bool ok = false;
  std::string problem;       // why not ok
  bool declaresXhtml = false;
  std::vector<ParsedSitemapUrl> urls;
};

ParsedSitemap ParseSitemapXml(const std::string& text);
