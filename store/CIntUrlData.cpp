#include "store/CIntUrlData.h"

#include <boost/thread/locks.hpp>
#include <boost/thread/thread.hpp>

namespace {

using SharedHold = boost::shared_lock<boost::shared_mutex>;
using ExclusiveHold = boost::unique_lock<boost::shared_mutex>;

// Runs an operation of the store; an exception (a failed allocation, a lock the system
// refused) becomes the given answer instead of leaving the store.
template <class Result, class Operation>
Result Guarded(Result onFailure, Operation operation) {
  try {
    return operation();
  } catch (...) {
    return onFailure;
  }
}

}  // namespace

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

CIntUrlData::Entry* CIntUrlData::Find(const std::string& url) {
  auto it = map_.find(url);
  return it == map_.end() ? nullptr : &*it;
}

int32_t CIntUrlData::Exists(const std::string& url) {
  return Guarded(0, [&] {
    SharedHold hold(lock_);
    return Find(url) ? 1 : 0;
  });
}

void CIntUrlData::HoldLock(std::chrono::milliseconds duration) {
  ExclusiveHold hold(lock_);
  boost::this_thread::sleep_for(boost::chrono::milliseconds(duration.count()));
}

int32_t CIntUrlData::GetState(const std::string& url) {
  try {
    SharedHold hold(lock_);
    auto it = map_.find(url);
    return it == map_.end() ? Absent : it->second->state;
  } catch (...) {
    return Absent;
  }
}

int32_t CIntUrlData::GetExcluded(const std::string& url) {
  try {
    SharedHold hold(lock_);
    auto it = map_.find(url);
    return it == map_.end() ? 0 : it->second->excludedFlag;
  } catch (...) {
    return 0;
  }
}

bool CIntUrlData::Read(const std::string& url, url_prop& record) {
  try {
    SharedHold hold(lock_);
    auto it = map_.find(url);
    if (it == map_.end()) return false;
    record = *it->second;
    return true;
  } catch (...) {
    return false;
  }
}

bool CIntUrlData::ReadLineage(const std::string& url, int32_t& depth, std::string& parent) {
  try {
    SharedHold hold(lock_);
    auto it = map_.find(url);
    if (it == map_.end()) return false;
    depth = it->second->depth;
    parent = it->second->parent ? *it->second->parent : std::string();
    return true;
  } catch (...) {
    return false;
  }
}

size_t CIntUrlData::size() {
  try {
    SharedHold hold(lock_);
    return map_.size();
  } catch (...) {
    return 0;
  }
}

Status CIntUrlData::SetState(const std::string& url, int32_t state) {
  return Guarded(Status(StatusCode::kNoMemory), [&]() -> Status {
    ExclusiveHold hold(lock_);
    Entry* entry = Find(url);
    if (entry == nullptr) return StatusCode::kMissing;
    // Back to Waiting: it must be found by the next take again.
    if (state == Waiting && entry->second->state != Waiting) waiting_.push_back(entry);
    entry->second->state = state;
    return {};
  });
}

Status CIntUrlData::SetExcluded(const std::string& url, int32_t flag) {
  return Guarded(Status(StatusCode::kGeneral), [&]() -> Status {
    ExclusiveHold hold(lock_);
    Entry* entry = Find(url);
    if (entry == nullptr) return StatusCode::kMissing;
    entry->second->excludedFlag = flag;
    return {};
  });
}

Status CIntUrlData::SetFailed(const std::string& url, const std::string& code) {
  return Guarded(Status(StatusCode::kNoMemory), [&]() -> Status {
    ExclusiveHold hold(lock_);
    Entry* entry = Find(url);
    if (entry == nullptr) return StatusCode::kLockTimeout;
    entry->second->code = code;
    entry->second->state = Failed;
    return {};
  });
}

Status CIntUrlData::TakeWaiting(std::vector<std::string>& urls, uint32_t max) {
  return Guarded(Status(StatusCode::kNoMemory), [&]() -> Status {
    ExclusiveHold hold(lock_);
    while (!waiting_.empty()) {
      Entry* entry = waiting_.front();
      if (entry->second->state != Waiting) {
        waiting_.pop_front();
        continue;
      }
      urls.push_back(entry->first);  // on failure the record stays Waiting and queued
      entry->second->state = Crawling;
      waiting_.pop_front();
      if (urls.size() >= max) break;
    }
    return {};
  });
}

bool CIntUrlData::Add(const std::string& parent, const std::string& url, int32_t maxDepth, int32_t& depth,
                      const UrlBirth& birth) {
  try {
    ExclusiveHold hold(lock_);
    int32_t level = 0;
    const std::string* parentKey = nullptr;
    if (!parent.empty()) {
      auto it = map_.find(parent);
      level = 1;
      if (it != map_.end()) {
        const int32_t parentDepth = it->second->depth;
        level = parentDepth == 2147483647 ? parentDepth : parentDepth + 1;
        parentKey = &it->first;
      }
    }
    depth = level;
    url_prop record;
    record.depth = level;
    record.parent = parentKey;
    record.state = level > maxDepth ? NotAllowed : birth.state;
    record.excludedFlag = birth.excludedFlag;
    return Insert(url, record);
  } catch (...) {
    return false;
  }
}

bool CIntUrlData::Insert(const std::string& url, const url_prop& record) {
  if (!pool_) pool_ = std::make_unique<UrlRecordPool>();
  auto [it, inserted] = map_.try_emplace(url, nullptr);
  if (!inserted) return false;
  url_prop* stored = pool_->Next();
  if (stored == nullptr) {
    map_.erase(it);
    return false;
  }
  *stored = record;
  if (stored->state == Waiting) {
    try {
      waiting_.push_back(&*it);
    } catch (...) {
      map_.erase(it);
      pool_->GiveBack();
      return false;
    }
  }
  it->second = stored;
  return true;
}

bool CIntUrlData::Restore(const std::string& url, const url_prop& record, const std::string& parent) {
  try {
    ExclusiveHold hold(lock_);
    url_prop restored = record;
    restored.parent = nullptr;
    if (!parent.empty()) {
      auto it = map_.find(parent);
      if (it != map_.end()) restored.parent = &it->first;
    }
    return Insert(url, restored);
  } catch (...) {
    return false;
  }
}

void CIntUrlData::Reset() {
  // No crawl runs now; the hold only keeps a stray reader from seeing a half-cleared map.
  try {
    ExclusiveHold hold(lock_);
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
