#pragma once
#include <cstdint>
#include <vector>

#include <boost/pool/object_pool.hpp>

#include "store/url_prop.h"

// Records of the in-memory store, made in blocks of 10000 ahead of use so that adding a URL
// allocates only its map entry. The pool owns the records.
class UrlRecordPool {
 public:
  UrlRecordPool();  // makes the first block (a failure is retried by Next)
  UrlRecordPool(const UrlRecordPool&) = delete;
  UrlRecordPool& operator=(const UrlRecordPool&) = delete;

  // The next unused record, making another block when all are used; nullptr when out of memory.
  url_prop* Next();
  // Returns the record that the last Next handed out, reset to the defaults.
  void GiveBack();

  int32_t blockSize() const { return blockSize_; }
  int32_t last() const { return last_; }
  size_t recordCount() const { return records_.size(); }
  const url_prop* record(size_t index) const { return records_[index]; }

 private:
  bool AddBlock();

  int32_t blockSize_ = 10000;
  int32_t last_ = -1;
  std::vector<url_prop*> records_;
  // Grows by whole blocks, never by Boost's doubling (that would leave up to half unused).
  boost::object_pool<url_prop> pool_{10000, 10000};
};
