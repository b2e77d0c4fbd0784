#include "crawl/CrawlPortion.h"

#include <boost/thread/locks.hpp>

#include "crawl/CSitemapControl.h"
#include "crawl/CrawlSync.h"
#include "web/SiteOrigin.h"

namespace {

// Marks the current portion as read; false when somebody has read it already.
bool ClaimPortion(CSitemapData& data) {
  const uint64_t generation = data.shownGeneration;
  uint64_t seen = data.readGeneration.load();
  while (seen < generation) {
    if (data.readGeneration.compare_exchange_weak(seen, generation)) return true;
  }
  return false;
}

}  // namespace

CrawlPortion ReadShownResults(CSitemapControl& control) {
  CrawlPortion portion;
  CSitemapData& data = control.data();
  const SiteOrigin origin = control.Origin();
  boost::shared_lock<boost::shared_mutex> guard(shownLock);
  if (!ClaimPortion(data)) return portion;
  portion.entries.reserve(data.shownResults.size());
  for (const auto& [path, result] : data.shownResults) {
    portion.entries.emplace_back(path, result.code);
    if (result.code == "200") {
      std::string address = FullAddress(origin, path);
      portion.okPaths.push_back(path);
      portion.sitemapAddresses.insert(address);
      if (!result.lastmod.empty()) portion.lastmods.emplace(address, result.lastmod);
      portion.okAddresses.push_back(std::move(address));
    } else {
      portion.failures.emplace_back(path, result.code);
    }
  }
  return portion;
}

std::string FullAddressOf(CSitemapControl& control, const std::string& path) {
  return FullAddress(control.Origin(), path);
}
