#include "store/CrawlStores.h"

CrawlStores::CrawlStores()
    : memory_(std::make_unique<CIntUrlData>()),
      database_(std::make_unique<CIntUrlDb>()) {}

// A crawl keeps its addresses in memory; the database store is asked only once it has been
// opened, so the calls of a crawl cost one lookup, not two.
bool CrawlStores::DatabaseInUse() const { return database_->db().isOpen() != 0; }

CIntUrl_abs& CrawlStores::RouteFor(const std::string& url) {
  if (!DatabaseInUse() || memory_->Exists(url) == 1) return *memory_;
  return *database_;
}

Status CrawlStores::TakeBatch(std::vector<std::string>& urls, uint32_t max) {
  urls.clear();
  Status fromMemory = memory_->TakeWaiting(urls, max);
  if (!DatabaseInUse() || urls.size() >= max) return fromMemory;
  Status withDatabase = database_->TakeWaiting(urls, max);
  return withDatabase.ok() ? withDatabase : fromMemory;
}

bool CrawlStores::Holds(const std::string& url) {
  return memory_->Exists(url) == 1 || (DatabaseInUse() && database_->Exists(url) == 1);
}

bool CrawlStores::TryAdd(const std::string& url, const std::string& parent, int32_t maxDepth, int32_t& depth,
                         const UrlBirth& birth) {
  if (DatabaseInUse() && database_->Exists(url) == 1) return false;
  // Add refuses an address the in-memory store holds already (and tells its depth, which a
  // refused add leaves alone here).
  int32_t level = 0;
  if (!memory_->Add(parent, url, maxDepth, level, birth)) return false;
  depth = level;
  return true;
}

Status CrawlStores::SetState(const std::string& url, int32_t state) { return RouteFor(url).SetState(url, state); }

Status CrawlStores::SetExcluded(const std::string& url, int32_t flag) {
  return RouteFor(url).SetExcluded(url, flag);
}

Status CrawlStores::SetFailed(const std::string& url, const std::string& code) {
  return RouteFor(url).SetFailed(url, code);
}

int32_t CrawlStores::GetExcluded(const std::string& url) { return RouteFor(url).GetExcluded(url); }

bool CrawlStores::Lineage(const std::string& url, int32_t& depth, std::string& parent) {
  return memory_->ReadLineage(url, depth, parent);
}

void CrawlStores::Reset() {
  memory_->Reset();
  database_->Reset();
}
