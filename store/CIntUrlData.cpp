#include "store/CIntUrlData.h"

#include <boost/thread/locks.hpp>

#include "common/ResultCodes.h"
#include "store/UrlStoreLock.h"

CIntUrlData::UrlMap CIntUrlData::NewMap() {
  UrlMap map(11, UrlMap::hasher(), UrlMap::key_equal(), UrlMap::allocator_type::WithNewPool());
  map.max_load_factor(1.0f);
  return map;
}

CIntUrlData::CIntUrlData() : map_(NewMap()) {
  try {
    pool_ = std::make_unique<UrlRecordPool>();
  } catch (...) {
    // Add makes the pool when it first needs one.
  }
}

CIntUrlData::~CIntUrlData() = default;

CIntUrlData::Entry* CIntUrlData::Lookup(const std::string& url) {
  try {
    boost::shared_lock<boost::shared_mutex> hold(urlStoreLock);
    auto it = map_.find(url);
    return it == map_.end() ? nullptr : &*it;
  } catch (...) {
    return nullptr;
  }
}

int32_t CIntUrlData::Exists(const std::string& url) { return Lookup(url) ? 1 : 0; }

int32_t CIntUrlData::GetState(const std::string& url) {
  try {
    boost::shared_lock<boost::shared_mutex> hold(urlStoreLock);
    auto it = map_.find(url);
    return it == map_.end() ? Absent : it->second->state;
  } catch (...) {
    return Absent;
  }
}

int32_t CIntUrlData::GetExcluded(const std::string& url) {
  try {
    boost::shared_lock<boost::shared_mutex> hold(urlStoreLock);
    auto it = map_.find(url);
    return it == map_.end() ? 0 : it->second->excludedFlag;
  } catch (...) {
    return 0;
  }
}

bool CIntUrlData::Read(const std::string& url, url_prop& record) {
  try {
    boost::shared_lock<boost::shared_mutex> hold(urlStoreLock);
    auto it = map_.find(url);
    if (it == map_.end()) return false;
    record = *it->second;
    return true;
  } catch (...) {
    return false;
  }
}

size_t CIntUrlData::size() {
  try {
    boost::shared_lock<boost::shared_mutex> hold(urlStoreLock);
    return map_.size();
  } catch (...) {
    return 0;
  }
}

int32_t CIntUrlData::SetState(const std::string& url, int32_t state) {
  Entry* entry = Lookup(url);
  if (entry == nullptr) return rc::kMissing;
  UrlStoreWriteLock hold;
  if (!hold.owns()) return rc::kLockTimeout;
  url_prop* record = entry->second;
  const int32_t old = record->state;
  if (state == Waiting && old != Waiting) {
    // Back to Waiting: it must be found by the next batch again.
    try {
      waiting_.push_back(entry);
    } catch (...) {
      return rc::kNoMemory;
    }
  }
  record->state = state;
  return rc::kOk;
}

int32_t CIntUrlData::SetExcluded(const std::string& url, int32_t flag) {
  Entry* entry = Lookup(url);
  if (entry == nullptr) return rc::kMissing;
  UrlStoreWriteLock hold;
  if (!hold.owns()) return rc::kLockTimeout;
  entry->second->excludedFlag = flag;
  return rc::kOk;
}

int32_t CIntUrlData::SetFailed(const std::string& url, const std::string& code) {
  Entry* entry = Lookup(url);
  if (entry == nullptr) return rc::kLockTimeout;
  UrlStoreWriteLock hold;
  if (!hold.owns()) return rc::kLockTimeout;
  try {
    entry->second->code = code;
  } catch (...) {
    return rc::kNoMemory;
  }
  entry->second->state = Failed;
  return rc::kOk;
}

int32_t CIntUrlData::TakeWaiting(std::vector<std::string>& urls, uint32_t max) {
  UrlStoreWriteLock hold;
  if (!hold.owns()) return static_cast<int32_t>(urls.size());
  while (!waiting_.empty()) {
    Entry* entry = waiting_.front();
    if (entry->second->state != Waiting) {
      waiting_.pop_front();
      continue;
    }
    try {
      urls.push_back(entry->first);
    } catch (...) {
      break;  // the record stays Waiting and queued for the next batch
    }
    entry->second->state = Crawling;
    waiting_.pop_front();
    if (urls.size() >= max) break;
  }
  return static_cast<int32_t>(urls.size());
}

bool CIntUrlData::Add(const std::string& parent, const std::string& url, int32_t maxDepth, int32_t& depth) {
  UrlStoreWriteLock hold;
  if (!hold.owns()) return false;
  try {
    int32_t level = 0;
    if (!parent.empty()) {
      auto it = map_.find(parent);
      level = 1;
      if (it != map_.end()) {
        const int32_t parentDepth = it->second->depth;
        level = parentDepth == 2147483647 ? parentDepth : parentDepth + 1;
      }
    }
    depth = level;
    if (!pool_) pool_ = std::make_unique<UrlRecordPool>();
    auto [it, inserted] = map_.try_emplace(url, nullptr);
    if (!inserted) return false;
    url_prop* record = pool_->Next();
    if (record == nullptr) {
      map_.erase(it);
      return false;
    }
    record->depth = level;
    if (level > maxDepth) record->state = NotAllowed;
    if (record->state == Waiting) {
      try {
        waiting_.push_back(&*it);
      } catch (...) {
        map_.erase(it);
        pool_->GiveBack();
        return false;
      }
    }
    it->second = record;
    return true;
  } catch (...) {
    return false;
  }
}

void CIntUrlData::Reset() {
  // No crawl runs now; the hold only keeps a stray reader from seeing a half-cleared map.
  try {
    boost::unique_lock<boost::shared_mutex> hold(urlStoreLock);
    std::deque<Entry*>().swap(waiting_);
    UrlMap fresh = NewMap();
    map_.swap(fresh);
    pool_.reset();
    pool_ = std::make_unique<UrlRecordPool>();
  } catch (...) {
    // Out of memory for the new pool or map: forget the URLs all the same; Add makes the pool
    // when it needs it.
    map_.clear();
  }
}
