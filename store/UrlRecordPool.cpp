#include "store/UrlRecordPool.h"

#include <algorithm>

UrlRecordPool::UrlRecordPool() { AddBlock(); }

bool UrlRecordPool::AddBlock() {
  try {
    // Geometric growth: reserving one block more each time would copy the whole vector per block.
    const size_t needed = records_.size() + static_cast<size_t>(blockSize_);
    if (records_.capacity() < needed) records_.reserve(std::max(needed, 2 * records_.capacity()));
    for (int32_t i = 0; i < blockSize_; ++i) {
      url_prop* record = pool_.construct();
      if (record == nullptr) return false;
      records_.push_back(record);  // capacity reserved above: cannot throw
    }
    return true;
  } catch (...) {
    return false;
  }
}

url_prop* UrlRecordPool::Next() {
  const size_t next = static_cast<size_t>(last_ + 1);
  if (next >= records_.size() && (!AddBlock() || next >= records_.size())) return nullptr;
  last_ = static_cast<int32_t>(next);
  return records_[next];
}

void UrlRecordPool::GiveBack() {
  if (last_ < 0) return;
  url_prop* record = records_[static_cast<size_t>(last_)];
  record->depth = 2147483647;
  record->state = Waiting;
  record->excludedFlag = 0;
  record->code.assign("200", 3);  // fits the string's own buffer: cannot throw
  record->parent = nullptr;
  --last_;
}
