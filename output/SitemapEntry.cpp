#include "output/SitemapEntry.h"

namespace {

template <class Map>
typename Map::mapped_type ValueOr(const Map& map, const std::string& key) {
  auto it = map.find(key);
  return it == map.end() ? typename Map::mapped_type{} : it->second;
}

}  // namespace

std::vector<SitemapEntry> SitemapEntriesOf(const CrawlPortion& portion) {
  std::vector<SitemapEntry> entries;
  entries.reserve(portion.sitemapAddresses.size());
  for (const std::string& address : portion.sitemapAddresses)
    entries.push_back({address, ValueOr(portion.lastmods, address), ValueOr(portion.depths, address),
                       ValueOr(portion.alternates, address), ValueOr(portion.images, address)});
  return entries;
}
