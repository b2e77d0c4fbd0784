#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <leveldb/db.h>
#include <leveldb/options.h>

#include "common/Status.h"

// One leveldb database, open or closed. No lock of its own: leveldb's thread safety covers
// concurrent calls. No call throws.
class CLevelDb {
 public:
  CLevelDb();
  ~CLevelDb();
  CLevelDb(const CLevelDb&) = delete;
  CLevelDb& operator=(const CLevelDb&) = delete;

  // Opens (creating it and its parent folders when missing) the database in directory path.
  // The directory already open, in any letter case, answers ok and stays open. kDbOpen on
  // failure, with leveldb's words.
  Status Open(const std::string& path);
  // The memory a database fills before it writes a table file (64 MiB unless set); takes
  // effect at the next Open.
  void SetWriteBufferSize(size_t bytes) { options_.write_buffer_size = bytes; }
  void Close();
  // kMissing without value holder; kNotOpen closed; kDbRead any leveldb error, a missing key
  // included.
  Status Get(const std::string& key, std::string* value);
  // kNotOpen closed; kDbWrite refused.
  Status Put(const std::string& key, const std::string& value);
  // Get, telling "not there" from a failure: kMissing for a key the database does not hold
  // (lastError left alone), kNotOpen closed, kDbRead any other leveldb error with its words.
  Status Lookup(const std::string& key, std::string* value);
  // 1 when Get of key succeeds, else 0.
  int32_t Contains(const std::string& key);
  // All pairs in one write batch. kNotOpen closed; kDbWrite refused.
  Status WriteAll(const std::map<std::string, std::string>& pairs);
  // The same, also deleting the erased keys, in the one batch.
  Status WriteAll(const std::map<std::string, std::string>& pairs, const std::vector<std::string>& erased);
  // Adds every stored pair in key order; keys the map already holds keep their values.
  // kNotOpen closed; kDbRead when the iteration ends with an error.
  Status ReadAll(std::map<std::string, std::string>& pairs);

  int32_t isOpen() const { return isOpen_; }
  const std::string& openPath() const { return openPath_; }
  const std::string& lastError() const { return lastError_; }
  // The open database, or nullptr while closed (for iteration by the URL database store).
  leveldb::DB* handle() const { return isOpen_ ? db_.get() : nullptr; }

 private:
  void SetError(const std::string& text);
  // ok when leveldb's status is; otherwise failure with its text, also kept in lastError.
  Status StatusResult(const leveldb::Status& status, StatusCode failure);

  int32_t isOpen_ = 0;
  std::string openPath_;
  std::string lastError_;
  std::unique_ptr<leveldb::DB> db_;
  leveldb::Options options_;
};
