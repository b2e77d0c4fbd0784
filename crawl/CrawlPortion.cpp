#include "crawl/CrawlPortion.h"

#include <iterator>

namespace {

template <class T>
void MoveAppend(std::vector<T>& to, std::vector<T>& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

}  // namespace

void CrawlPortion::Append(CrawlPortion&& later) {
  MoveAppend(entries, later.entries);
  MoveAppend(okPaths, later.okPaths);
  MoveAppend(okAddresses, later.okAddresses);
  MoveAppend(failures, later.failures);
  sitemapAddresses.merge(later.sitemapAddresses);
  lastmods.merge(later.lastmods);
  depths.merge(later.depths);
  alternates.merge(later.alternates);
  titles.merge(later.titles);
  images.merge(later.images);
  tooLong += later.tooLong;
}

CrawlPortion MakePortion(const SiteOrigin& origin, const std::vector<PageResult>& results) {
  CrawlPortion portion;
  portion.entries.reserve(results.size());
  for (const PageResult& result : results) {
    portion.entries.emplace_back(result.path, result.outcome);
    if (result.outcome.ok()) {
      std::string address = FullAddress(origin, result.path);
      portion.okPaths.push_back(result.path);
      const bool tooLong = address.size() > kMaxSitemapAddress;
      if (result.inSitemap && tooLong) portion.tooLong += 1;
      if (result.inSitemap && !tooLong) {
        portion.sitemapAddresses.insert(address);
        portion.depths.emplace(address, result.depth);
        if (!result.lastmod.empty()) portion.lastmods.emplace(address, result.lastmod);
        if (!result.alternates.empty()) portion.alternates.emplace(address, result.alternates);
        if (!result.title.empty()) portion.titles.emplace(address, result.title);
        if (!result.images.empty()) portion.images.emplace(address, result.images);
      }
      portion.okAddresses.push_back(std::move(address));
    } else {
      portion.failures.push_back({result.path, result.outcome,
                                  result.parent.empty() ? std::string() : FullAddress(origin, result.parent),
                                  result.redirectTo});
    }
  }
  return portion;
}
