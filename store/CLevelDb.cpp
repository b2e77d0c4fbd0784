#include "store/CLevelDb.h"

#include <filesystem>
#include <new>

#include <leveldb/iterator.h>
#include <leveldb/write_batch.h>

#include "common/ResultCodes.h"
#include "common/StringICompare.h"

namespace {

// Runs one database call; what it throws becomes a result code instead of leaving the module.
template <typename Op>
int32_t Guarded(int32_t failure, Op op) {
  try {
    return op();
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  } catch (...) {
    return failure;
  }
}

}  // namespace

CLevelDb::CLevelDb() {
  options_.create_if_missing = true;
  options_.write_buffer_size = 67108864;
}

CLevelDb::~CLevelDb() { Close(); }

int32_t CLevelDb::StatusResult(const leveldb::Status& status, int32_t failure) {
  if (status.ok()) return rc::kOk;
  SetError(status.ToString());
  return failure;
}

void CLevelDb::SetError(const std::string& text) {
  try {
    lastError_ = text;
  } catch (...) {
    lastError_.clear();
  }
}

int32_t CLevelDb::Open(const std::string& path) {
  try {
    if (isOpen_ == 1 && EqualsIgnoreCase(path, openPath_)) return rc::kOk;
    Close();
    // A failure here is left to leveldb, which reports the precise reason (a plain file in
    // the way, no permission...) in its status.
    std::error_code ec;
    if (!path.empty()) std::filesystem::create_directories(path, ec);
    leveldb::DB* raw = nullptr;
    leveldb::Status status = leveldb::DB::Open(options_, path, &raw);
    if (!status.ok()) {
      delete raw;
      SetError(status.ToString());
      return rc::kDbOpen;
    }
    db_.reset(raw);
    openPath_ = path;
    isOpen_ = 1;
    return rc::kOk;
  } catch (const std::exception& e) {
    Close();
    SetError(e.what());
    return rc::kDbOpen;
  } catch (...) {
    Close();
    return rc::kDbOpen;
  }
}

void CLevelDb::Close() {
  db_.reset();
  isOpen_ = 0;
  openPath_.clear();
}

int32_t CLevelDb::Get(const std::string& key, std::string* value) {
  if (value == nullptr) return rc::kMissing;
  if (isOpen_ != 1) return rc::kNotOpen;
  return Guarded(rc::kDbRead, [&] {
    return StatusResult(db_->Get(leveldb::ReadOptions(), key, value), rc::kDbRead);
  });
}

int32_t CLevelDb::Put(const std::string& key, const std::string& value) {
  if (isOpen_ != 1) return rc::kNotOpen;
  return Guarded(rc::kDbWrite, [&] {
    return StatusResult(db_->Put(leveldb::WriteOptions(), key, value), rc::kDbWrite);
  });
}

int32_t CLevelDb::Contains(const std::string& key) {
  std::string value;
  return Get(key, &value) == rc::kOk ? 1 : 0;
}

int32_t CLevelDb::WriteAll(const std::map<std::string, std::string>& pairs) {
  if (isOpen_ != 1) return rc::kNotOpen;
  return Guarded(rc::kDbWrite, [&] {
    leveldb::WriteBatch batch;
    for (const auto& [key, value] : pairs) batch.Put(key, value);
    return StatusResult(db_->Write(leveldb::WriteOptions(), &batch), rc::kDbWrite);
  });
}

int32_t CLevelDb::WriteAll(const std::map<std::string, std::string>& pairs, const std::vector<std::string>& erased) {
  if (isOpen_ != 1) return rc::kNotOpen;
  return Guarded(rc::kDbWrite, [&] {
    leveldb::WriteBatch batch;
    for (const auto& [key, value] : pairs) batch.Put(key, value);
    for (const std::string& key : erased) batch.Delete(key);
    return StatusResult(db_->Write(leveldb::WriteOptions(), &batch), rc::kDbWrite);
  });
}

int32_t CLevelDb::ReadAll(std::map<std::string, std::string>& pairs) {
  if (isOpen_ != 1) return rc::kNotOpen;
  return Guarded(rc::kDbRead, [&] {
    std::unique_ptr<leveldb::Iterator> it(db_->NewIterator(leveldb::ReadOptions()));
    for (it->SeekToFirst(); it->Valid(); it->Next())
      pairs.emplace(it->key().ToString(), it->value().ToString());
    return StatusResult(it->status(), rc::kDbRead);
  });
}
