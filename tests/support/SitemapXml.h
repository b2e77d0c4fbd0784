#pragma once
// Reads a sitemap document back with TinyXML, as a search engine would: well-formed, the
// sitemap namespace on urlset, the xhtml and image prefixes declared exactly when used, and
// valid against the protocol's schema (a document holding no url is left out of that check:
// the schema asks for at least one).
#include <string>
#include <utility>
#include <vector>

struct ParsedSitemapUrl {
  std::string loc, lastmod, changefreq, priority;
  bool hasChangefreq = false, hasPriority = false;
  std::vector<std::pair<std::string, std::string>> alternates;  // (hreflang, href)
  std::vector<std::string> images;                              // image:loc texts
};

struct ParsedSitemap {
  bool ok = false;
  std::string problem;       // why not ok
  bool declaresXhtml = false;
  bool declaresImage = false;
  std::vector<ParsedSitemapUrl> urls;
};

ParsedSitemap ParseSitemapXml(const std::string& text);
