#pragma once
#include <memory>
#include <string>
#include <vector>

#include "store/CIntUrlData.h"
#include "store/CIntUrlDb.h"

// The stores of one crawl: the in-memory store, asked first, the database store, asked second.
// New URLs always go to the in-memory store.
class CrawlStores {
 public:
  CrawlStores();
  CrawlStores(const CrawlStores&) = delete;
  CrawlStores& operator=(const CrawlStores&) = delete;

  CIntUrlData& memory() { return *memory_; }
  CIntUrlDb& database() { return *database_; }

  // Clears urls, then fills it with up to max Waiting URLs. The URLs in urls afterwards are
  // taken, whatever the answer says of a store that failed.
  Status TakeBatch(std::vector<std::string>& urls, uint32_t max);
  // Adds url unless either store holds it; depth is written only when it was not held.
  bool TryAdd(const std::string& url, const std::string& parent, int32_t maxDepth, int32_t& depth,
              const UrlBirth& birth = {});
  // Whether either store holds url.
  bool Holds(const std::string& url);
  // These go to the in-memory store when it holds url, else to the database store.
  Status SetState(const std::string& url, int32_t state);
  Status SetExcluded(const std::string& url, int32_t flag);
  Status SetFailed(const std::string& url, const std::string& code);
  int32_t GetExcluded(const std::string& url);
  // The link depth of url and the URL whose link first admitted it (empty for a start
  // address); false when the in-memory store does not hold url.
  bool Lineage(const std::string& url, int32_t& depth, std::string& parent);
  // Before each crawl, while none runs.
  void Reset();

 private:
  bool DatabaseInUse() const;
  CIntUrl_abs& RouteFor(const std::string& url);

  std::unique_ptr<CIntUrlData> memory_;
  std::unique_ptr<CIntUrlDb> database_;
};
