#pragma once
#include <boost/thread/shared_mutex.hpp>
#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>

#include "store/CIntUrl_abs.h"
#include "store/NodePoolAllocator.h"
#include "store/UrlRecordPool.h"
#include "store/url_prop.h"

// The in-memory URL store: every URL of a crawl, once, as a map key, with its record in the pool.
// Its lock guards the map, the pool and the waiting queue: readers take it shared, writers
// exclusive, and every operation waits for it, so none is ever dropped (a lost add would lose
// a link; a lost state change would leave an address "crawling" for ever).
class CIntUrlData : public CIntUrl_abs {
 public:
  CIntUrlData();
  ~CIntUrlData() override;
  CIntUrlData(const CIntUrlData&) = delete;
  CIntUrlData& operator=(const CIntUrlData&) = delete;

  Status TakeWaiting(std::vector<std::string>& urls, uint32_t max) override;  // kNoMemory
  int32_t Exists(const std::string& url) override;
  int32_t GetState(const std::string& url) override;
  int32_t GetExcluded(const std::string& url) override;
  Status SetState(const std::string& url, int32_t state) override;    // kMissing not held
  Status SetExcluded(const std::string& url, int32_t flag) override;  // kMissing not held
  Status SetFailed(const std::string& url, const std::string& code) override;  // kLockTimeout not held
  bool Add(const std::string& parent, const std::string& url, int32_t maxDepth, int32_t& depth,
           const UrlBirth& birth = {}) override;

  // Puts back a URL with the record a journal kept (a resumed crawl, before its workers run);
  // a Waiting one joins the queue. Its parent (the page whose link admitted it) is pointed at
  // when that page was restored before it. False when the URL is held already or memory runs out.
  bool Restore(const std::string& url, const url_prop& record, const std::string& parent = {});
  // Forgets every URL and starts a new pool. Only between crawls.
  void Reset();
  // A copy of the URL's record; false when not held.
  bool Read(const std::string& url, url_prop& record);
  // The URL's link depth and the URL whose link admitted it (empty: none known); false when
  // not held.
  bool ReadLineage(const std::string& url, int32_t& depth, std::string& parent);
  size_t size();
  const UrlRecordPool* pool() const { return pool_.get(); }
  // Holds the lock for a while, as the longest write would: lets tests stall every caller.
  void HoldLock(std::chrono::milliseconds duration);

 private:
  // Adds url with record unless it is held; under the exclusive hold.
  bool Insert(const std::string& url, const url_prop& record);
  // std::unordered_map keeps each key's hash in its node, so growing the table never reads
  // the keys again; with a million URLs that is most of the cost of an add. Its nodes come
  // from a pool of their own (see NodePoolAllocator).
  using UrlMap = std::unordered_map<std::string, url_prop*, std::hash<std::string>, std::equal_to<std::string>,
                                    NodePoolAllocator<std::pair<const std::string, url_prop*>>>;
  using Entry = UrlMap::value_type;

  static UrlMap NewMap();
  Entry* Find(const std::string& url);  // lock_ held by the caller

  boost::shared_mutex lock_;
  UrlMap map_;
  std::unique_ptr<UrlRecordPool> pool_;
  // Entries that may be Waiting, oldest first, so that a batch costs its own size and not a walk
  // of the map. Every Waiting record has an entry here; entries whose record has moved on are
  // dropped when they reach the front. Map nodes do not move, so the pointers stay valid.
  std::deque<Entry*> waiting_;
};
