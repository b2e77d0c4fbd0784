#include "store/UrlRecordPool.h"

UrlRecordPool::UrlRecordPool() { AddBlock(); }

bool UrlRecordPool::AddBlock() {
  try {
    records_.reserve(records_.size() + static_cast<size_t>(blockSize_));
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
  --last_;
}
