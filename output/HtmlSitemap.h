#pragma once
// The sitemap as a web page for people and spiders (Baidu asks for one): every sitemap page
// grouped by folder, its title as the link's text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "output/FileWriteResult.h"

struct HtmlSitemapEntry {
  std::string address;  // full, as the sitemap lists it
  std::string title;    // UTF-8; empty: the address is shown
};

inline constexpr size_t kHtmlSitemapPageSize = 50000;

// "<site>_sitemap.html", then "<site>_sitemap2.html" ... for the pages beyond the first.
std::string HtmlSitemapFileName(const std::string& site, size_t page);

// Writes the page (or, over kHtmlSitemapPageSize entries, numbered pages that link to each
// other) in dir, each written beside its name and moved over it. entries in any order; they
// are grouped by folder. ok or the first failure, result receiving it; savedNames the names
// written.
Status WriteHtmlSitemap(const std::string& dir, const std::string& site, std::vector<HtmlSitemapEntry> entries,
                        FileWriteResult* result = nullptr, std::vector<std::string>* savedNames = nullptr);
