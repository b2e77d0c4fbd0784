#include "store/CIntUrlDb.h"

#include <leveldb/iterator.h>

CIntUrlDb::CIntUrlDb() : db_(std::make_unique<CLevelDb>()) {}

CIntUrlDb::~CIntUrlDb() = default;

Status CIntUrlDb::Read(const std::string& url, url_prop& record) {
  if (db_->isOpen() != 1) return StatusCode::kDbOpen;
  try {
    record = url_prop{};
    std::string text;
    // A key not there reads as an empty text (kEmpty); a database that cannot be read says why.
    if (Status got = db_->Lookup(url, &text); !got.ok() && got.code() != StatusCode::kMissing) return got;
    return FromText(text, record);
  } catch (...) {
    return StatusCode::kNoMemory;
  }
}

// A record that cannot be read, as the setters answer it: kRecordRead, with the database's
// words when it failed (none when the record is not there).
Status CIntUrlDb::Unread(const Status& read) { return Status(StatusCode::kRecordRead, read.message()); }

Status CIntUrlDb::Write(const std::string& url, const url_prop& record) {
  try {
    std::string text;
    // Never store an empty value in place of a record.
    if (!ToText(record, text).ok()) return StatusCode::kGeneral;
    return db_->Put(url, text);
  } catch (...) {
    return StatusCode::kGeneral;
  }
}

Status CIntUrlDb::TakeWaiting(std::vector<std::string>& urls, uint32_t max) {
  leveldb::DB* handle = db_->handle();
  if (handle == nullptr) return StatusCode::kDbOpen;
  if (max < 1) return StatusCode::kBatchSize;
  try {
    std::unique_ptr<leveldb::Iterator> it(handle->NewIterator(leveldb::ReadOptions()));
    for (it->SeekToFirst(); it->Valid(); it->Next()) {
      url_prop record;
      FromText(it->value().ToString(), record);  // unreadable counts as a default, Waiting record
      if (record.state != Waiting) continue;
      std::string key = it->key().ToString();
      urls.push_back(key);
      record.state = Crawling;
      Write(key, record);
      if (urls.size() >= max) break;
    }
  } catch (...) {
    // Out of memory: the URLs taken so far stand.
    return StatusCode::kNoMemory;
  }
  return {};
}

int32_t CIntUrlDb::Exists(const std::string& url) {
  if (db_->isOpen() != 1) return 0;
  return db_->Contains(url);
}

int32_t CIntUrlDb::GetState(const std::string& url) {
  url_prop record;
  if (!Read(url, record).ok()) return Absent;
  return record.state;
}

int32_t CIntUrlDb::GetExcluded(const std::string& url) {
  url_prop record;
  if (!Read(url, record).ok()) return 0;
  return record.excludedFlag;
}

Status CIntUrlDb::SetState(const std::string& url, int32_t state) {
  url_prop record;
  if (Status read = Read(url, record); !read.ok()) return Unread(read);
  record.state = state;
  return Write(url, record);
}

Status CIntUrlDb::SetExcluded(const std::string& url, int32_t flag) {
  url_prop record;
  if (Status read = Read(url, record); !read.ok()) return Unread(read);
  record.excludedFlag = flag;
  return Write(url, record);
}

Status CIntUrlDb::SetFailed(const std::string& url, const std::string& code) {
  url_prop record;
  if (Status read = Read(url, record); !read.ok()) return Unread(read);
  try {
    record.code = code;
  } catch (...) {
    return StatusCode::kGeneral;
  }
  return Write(url, record);
}

bool CIntUrlDb::Add(const std::string&, const std::string&, int32_t, int32_t&, const UrlBirth&) { return false; }

void CIntUrlDb::Reset() {
  try {
    db_ = std::make_unique<CLevelDb>();
  } catch (...) {
    db_->Close();  // out of memory: the old wrapper, closed, serves as the new one
  }
}

void CIntUrlDb::Close() {
  if (db_->isOpen() == 1) db_->Close();
}
