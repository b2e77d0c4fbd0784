#include "store/CLevelDb.h"

#include <filesystem>
#include <new>

#include <leveldb/iterator.h>
#include <leveldb/write_batch.h>

#include "common/StringICompare.h"

namespace {

// Runs one database call; what it throws becomes a failure instead of leaving the module.
template <typename Op>
Status Guarded(StatusCode failure, Op op) {
  try {
    return op();
  } catch (const std::bad_alloc&) {
    return StatusCode::kNoMemory;
  } catch (const std::exception& e) {
    return Status(failure, e.what());
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

Status CLevelDb::StatusResult(const leveldb::Status& status, StatusCode failure) {
  if (status.ok()) return {};
  SetError(status.ToString());
  return Status(failure, lastError_);
}

void CLevelDb::SetError(const std::string& text) {
  try {
    lastError_ = text;
  } catch (...) {
    lastError_.clear();
  }
}

Status CLevelDb::Open(const std::string& path) {
  try {
    if (isOpen_ == 1 && EqualsIgnoreCase(path, openPath_)) return {};
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
      return Status(StatusCode::kDbOpen, lastError_);
    }
    db_.reset(raw);
    openPath_ = path;
    isOpen_ = 1;
    return {};
  } catch (const std::exception& e) {
    Close();
    SetError(e.what());
    return Status(StatusCode::kDbOpen, lastError_);
  } catch (...) {
    Close();
    return StatusCode::kDbOpen;
  }
}

void CLevelDb::Close() {
  db_.reset();
  isOpen_ = 0;
  openPath_.clear();
}

Status CLevelDb::Get(const std::string& key, std::string* value) {
  if (value == nullptr) return StatusCode::kMissing;
  if (isOpen_ != 1) return StatusCode::kNotOpen;
  return Guarded(StatusCode::kDbRead, [&] {
    return StatusResult(db_->Get(leveldb::ReadOptions(), key, value), StatusCode::kDbRead);
  });
}

Status CLevelDb::Lookup(const std::string& key, std::string* value) {
  if (value == nullptr) return StatusCode::kMissing;
  if (isOpen_ != 1) return StatusCode::kNotOpen;
  return Guarded(StatusCode::kDbRead, [&]() -> Status {
    const leveldb::Status status = db_->Get(leveldb::ReadOptions(), key, value);
    if (status.IsNotFound()) return StatusCode::kMissing;
    return StatusResult(status, StatusCode::kDbRead);
  });
}

Status CLevelDb::Put(const std::string& key, const std::string& value) {
  if (isOpen_ != 1) return StatusCode::kNotOpen;
  return Guarded(StatusCode::kDbWrite, [&] {
    return StatusResult(db_->Put(leveldb::WriteOptions(), key, value), StatusCode::kDbWrite);
  });
}

int32_t CLevelDb::Contains(const std::string& key) {
  std::string value;
  return Get(key, &value).ok() ? 1 : 0;
}

Status CLevelDb::WriteAll(const std::map<std::string, std::string>& pairs) {
  if (isOpen_ != 1) return StatusCode::kNotOpen;
  return Guarded(StatusCode::kDbWrite, [&] {
    leveldb::WriteBatch batch;
    for (const auto& [key, value] : pairs) batch.Put(key, value);
    return StatusResult(db_->Write(leveldb::WriteOptions(), &batch), StatusCode::kDbWrite);
  });
}

Status CLevelDb::WriteAll(const std::map<std::string, std::string>& pairs, const std::vector<std::string>& erased) {
  if (isOpen_ != 1) return StatusCode::kNotOpen;
  return Guarded(StatusCode::kDbWrite, [&] {
    leveldb::WriteBatch batch;
    for (const auto& [key, value] : pairs) batch.Put(key, value);
    for (const std::string& key : erased) batch.Delete(key);
    return StatusResult(db_->Write(leveldb::WriteOptions(), &batch), StatusCode::kDbWrite);
  });
}

Status CLevelDb::ReadAll(std::map<std::string, std::string>& pairs) {
  if (isOpen_ != 1) return StatusCode::kNotOpen;
  return Guarded(StatusCode::kDbRead, [&] {
    std::unique_ptr<leveldb::Iterator> it(db_->NewIterator(leveldb::ReadOptions()));
    for (it->SeekToFirst(); it->Valid(); it->Next())
      pairs.emplace(it->key().ToString(), it->value().ToString());
    return StatusResult(it->status(), StatusCode::kDbRead);
  });
}
