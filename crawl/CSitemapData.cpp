#include "crawl/CSitemapData.h"

CrawlResultMap MakeResultMap() {
  CrawlResultMap map(11);
  map.max_load_factor(1.0f);
  return map;
}

CSitemapData::CSitemapData()
    : pendingResults(MakeResultMap()), shownResults(MakeResultMap()), stores(std::make_unique<CrawlStores>()) {
  origin.scheme = "http";
}

void CSitemapData::Reset() {
  host.clear();
  origin = SiteOrigin{};
  origin.scheme = "http";
  pendingResults.clear();
  shownResults.clear();
  if (stores) stores->Reset();
  counters = CrawlCounters{};
  robots = RobotsPolicy{};
  // Whatever shownResults held is gone; the next portion may be put there at once.
  readGeneration.store(shownGeneration);
  handOverBusy.store(false);
}
