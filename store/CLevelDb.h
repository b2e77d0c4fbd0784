#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <leveldb/db.h>
#include <leveldb/options.h>

// One leveldb database, open or closed. No lock of its own: leveldb's thread safety covers
// concurrent calls. No call throws.
class CLevelDb {
 public:
  CLevelDb();
  ~CLevelDb();
  CLevelDb(const CLevelDb&) = delete;
  CLevelDb& operator=(const CLevelDb&) = delete;

  // Opens (creating it and its parent folders when missing) the database in directory path.
  // The directory already open, in any letter case, answers 0 and stays open. -230 on failure.
  int32_t Open(const std::string& path);
  // The memory a database fills before it writes a table file (64 MiB unless set); takes
  // effect at the next Open.
  void SetWriteBufferSize(size_t bytes) { options_.write_buffer_size = bytes; }
  void Close();
  // 0; -110 without value holder; -300 closed; -250 any leveldb error, a missing key included.
  int32_t Get(const std::string& key, std::string* value);
  // 0; -300 closed; -240 refused.
  int32_t Put(const std::string& key, const std::string& value);
  // 1 when Get of key succeeds, else 0.
  int32_t Contains(const std::string& key);
  // All pairs in one write batch. 0; -300 closed; -240 refused.
  int32_t WriteAll(const std::map<std::string, std::string>& pairs);
  // The same, also deleting the erased keys, in the one batch.
  int32_t WriteAll(const std::map<std::string, std::string>& pairs, const std::vector<std::string>& erased);
  // Adds every stored pair in key order; keys the map already holds keep their values.
  // 0; -300 closed; -250 when the iteration ends with an error.
  int32_t ReadAll(std::map<std::string, std::string>& pairs);

  int32_t isOpen() const { return isOpen_; }
  const std::string& openPath() const { return openPath_; }
  const std::string& lastError() const { return lastError_; }
  // The open database, or nullptr while closed (for iteration by the URL database store).
  leveldb::DB* handle() const { return isOpen_ ? db_.get() : nullptr; }

 private:
  void SetError(const std::string& text);
  // 0 when the status is ok; otherwise failure, with the status text kept in lastError.
  int32_t StatusResult(const leveldb::Status& status, int32_t failure);

  int32_t isOpen_ = 0;
  std::string openPath_;
  std::string lastError_;
  std::unique_ptr<leveldb::DB> db_;
  leveldb::Options options_;
};
