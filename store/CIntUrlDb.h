#pragma once
#include <memory>
#include <string>

#include "store/CIntUrl_abs.h"
#include "store/CLevelDb.h"
#include "store/url_prop.h"

// The URL store kept in a leveldb database: key = URL, value = the record's archive text.
// It never receives new URLs. Closed, it holds nothing. No lock of its own.
class CIntUrlDb : public CIntUrl_abs {
 public:
  CIntUrlDb();
  ~CIntUrlDb() override;

  Status TakeWaiting(std::vector<std::string>& urls, uint32_t max) override;  // kDbOpen closed; kBatchSize max < 1
  int32_t Exists(const std::string& url) override;
  int32_t GetState(const std::string& url) override;
  int32_t GetExcluded(const std::string& url) override;
  Status SetState(const std::string& url, int32_t state) override;    // kRecordRead closed or unreadable
  Status SetExcluded(const std::string& url, int32_t flag) override;  // kRecordRead closed or unreadable
  Status SetFailed(const std::string& url, const std::string& code) override;  // leaves the state
  bool Add(const std::string& parent, const std::string& url, int32_t maxDepth, int32_t& depth,
           const UrlBirth& birth = {}) override;

  // Before each crawl: a new, closed database wrapper in place of the old one.
  void Reset();
  // At the end of a crawl: closes the database when it is open.
  void Close();
  CLevelDb& db() { return *db_; }

 private:
  // The URL's record: kDbOpen closed, kDbRead (leveldb's words) when the database cannot be
  // read, or FromText's failure (kEmpty for a missing key).
  Status Read(const std::string& url, url_prop& record);
  // Writes the record under url: Put's result, or kGeneral when no text could be made.
  Status Write(const std::string& url, const url_prop& record);
  static Status Unread(const Status& read);

  std::unique_ptr<CLevelDb> db_;
};
