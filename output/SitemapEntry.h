#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "crawl/CrawlPortion.h"

// One page as the sitemap lists it.
struct SitemapEntry {
  std::string address;
  std::string lastmod;  // empty: the writer's date
  int32_t depth = 0;
  LanguageAlternates alternates;
  std::vector<std::string> images;
};

// The sitemap's entries of a portion, in byte order of their addresses.
std::vector<SitemapEntry> SitemapEntriesOf(const CrawlPortion& portion);
