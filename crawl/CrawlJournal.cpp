#include "crawl/CrawlJournal.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include <leveldb/iterator.h>

#include "common/ResultCodes.h"
#include "store/TextArchive.h"
#include "web/StatusTextTable.h"

namespace {

// Keys of the single records sort before every address ("a/") and result ("r/").
const std::string kVersionKey = "!version";
const std::string kStartKey = "!start";
const std::string kOriginKey = "!origin";
const std::string kAdmitPrefix = "a/";
const std::string kResultPrefix = "r/";

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Results keep the order they were made in: the key is the sequence number, fixed width.
std::string ResultKey(uint64_t sequence) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%016llu", static_cast<unsigned long long>(sequence));
  return kResultPrefix + digits;
}

void WriteSet(TextArchiveWriter& w, const StringISet& set) {
  w.WriteCount(set.size());
  for (const std::string& item : set) w.WriteString(item);
}

bool ReadSet(TextArchiveReader& r, StringISet& set) {
  uint64_t count = 0;
  if (!r.ReadCount(count) || count > r.remaining()) return false;
  for (uint64_t i = 0; i < count; ++i) {
    std::string item;
    if (!r.ReadString(item)) return false;
    set.insert(item);
  }
  return true;
}

bool ReadBool(TextArchiveReader& r, bool& value) {
  int32_t n = 0;
  if (!r.ReadInt(n) || (n != 0 && n != 1)) return false;
  value = n == 1;
  return true;
}

std::string StartText(const CrawlStartParams& p) {
  TextArchiveWriter w;
  w.WriteString(p.startUrl);
  w.WriteInt(p.maxDepth);
  w.WriteInt(p.threadCount);
  WriteSet(w, p.forbiddenExtensions);
  w.WriteInt(p.rules.obeyRobots ? 1 : 0);
  w.WriteInt(p.rules.minIntervalMs);
  w.WriteString(p.rules.userAgent);
  w.WriteInt(p.rules.lastmodFromHeader ? 1 : 0);
  WriteSet(w, p.includePatterns);
  WriteSet(w, p.excludePatterns);
  w.WriteInt(p.rules.renderScripts ? 1 : 0);
  return w.text();
}

bool ReadStart(const std::string& text, CrawlStartParams& p) {
  TextArchiveReader r(text);
  return r.ReadHeader() && r.ReadString(p.startUrl) && r.ReadInt(p.maxDepth) && r.ReadInt(p.threadCount) &&
         ReadSet(r, p.forbiddenExtensions) && ReadBool(r, p.rules.obeyRobots) && r.ReadInt(p.rules.minIntervalMs) &&
         r.ReadString(p.rules.userAgent) && ReadBool(r, p.rules.lastmodFromHeader) && ReadSet(r, p.includePatterns) &&
         ReadSet(r, p.excludePatterns) &&
         // A journal written before pages could be rendered ends here.
         (r.remaining() == 0 || ReadBool(r, p.rules.renderScripts)) && r.remaining() == 0;
}

std::string OriginText(const SiteOrigin& origin) {
  TextArchiveWriter w;
  w.WriteString(origin.scheme);
  w.WriteString(origin.host);
  w.WriteString(origin.port);
  return w.text();
}

bool ReadOrigin(const std::string& text, SiteOrigin& origin) {
  TextArchiveReader r(text);
  return r.ReadHeader() && r.ReadString(origin.scheme) && r.ReadString(origin.host) && r.ReadString(origin.port) &&
         r.remaining() == 0 && !origin.host.empty();
}

// An admitted address: url_prop's text form (depth, state, flag, code), then how it was
// counted and the page it was found on.
struct Admit {
  url_prop record;
  int32_t admission = 0;
  std::string parent;
};

bool ReadAdmit(const std::string& text, Admit& a) {
  TextArchiveReader r(text);
  int32_t tracking = 0, version = 0;
  return r.ReadHeader() && r.ReadInt(tracking) && r.ReadInt(version) && r.ReadInt(a.record.depth) &&
         r.ReadInt(a.record.state) && r.ReadInt(a.record.excludedFlag) && r.ReadString(a.record.code) &&
         r.ReadInt(a.admission) && a.admission >= 0 && a.admission <= 2 && r.ReadString(a.parent) &&
         r.remaining() == 0;
}

// A result: depth, state, listing, code, lastmod, the code's description, the path.
struct Result {
  int32_t depth = 0;
  int32_t state = 0;
  int32_t listing = 0;
  std::string code;
  std::string lastmod;
  std::string description;
  std::string path;
};

bool ReadResult(const std::string& text, Result& res) {
  TextArchiveReader r(text);
  return r.ReadHeader() && r.ReadInt(res.depth) && r.ReadInt(res.state) &&
         (res.state == Crawled || res.state == Failed) && r.ReadInt(res.listing) && res.listing >= 0 &&
         res.listing <= 2 && r.ReadString(res.code) && r.ReadString(res.lastmod) && r.ReadString(res.description) &&
         r.ReadString(res.path) && r.remaining() == 0 && !res.path.empty();
}

// Reads a whole journal into replay; the summary says what it holds or why it is refused.
JournalSummary ReadJournal(CLevelDb& db, const std::string& startUrl, JournalReplay& replay) {
  JournalSummary summary;
  using Status = JournalSummary::Status;
  auto refuse = [&](Status status, std::string detail) {
    summary.status = status;
    summary.detail = std::move(detail);
    return summary;
  };
  leveldb::DB* handle = db.handle();
  if (handle == nullptr) return refuse(Status::Damaged, db.lastError());
  try {
    std::string version;
    if (db.Get(kVersionKey, &version) != rc::kOk) {
      // Empty: a crawl killed before it wrote its start record; anything else is not a journal.
      std::unique_ptr<leveldb::Iterator> it(handle->NewIterator(leveldb::ReadOptions()));
      it->SeekToFirst();
      if (!it->status().ok()) return refuse(Status::Damaged, it->status().ToString());
      return it->Valid() ? refuse(Status::Damaged, "no format version") : summary;
    }
    if (version != std::to_string(CrawlJournal::kFormatVersion)) {
      bool digits = !version.empty() && version.size() < 9 && version.find_first_not_of("0123456789") == std::string::npos;
      if (digits && std::stoi(version) > CrawlJournal::kFormatVersion)
        return refuse(Status::Newer, "format version " + version);
      return refuse(Status::Damaged, "format version \"" + version + "\"");
    }
    std::string start;
    if (db.Get(kStartKey, &start) != rc::kOk || !ReadStart(start, replay.params))
      return refuse(Status::Damaged, "unreadable start record");
    if (replay.params.startUrl != startUrl) return refuse(Status::OtherAddress, replay.params.startUrl);
    std::string origin;
    if (db.Get(kOriginKey, &origin) != rc::kOk) return summary;  // never reached its first page
    if (!ReadOrigin(origin, replay.origin)) return refuse(Status::Damaged, "unreadable origin");

    std::map<std::string, Admit> admitted;
    std::map<std::string, int32_t> done;  // path -> Crawled or Failed
    CrawlCounters& c = replay.counters;
    std::unique_ptr<leveldb::Iterator> it(handle->NewIterator(leveldb::ReadOptions()));
    for (it->Seek(kAdmitPrefix); it->Valid() && it->key().starts_with(kAdmitPrefix); it->Next()) {
      Admit a;
      if (!ReadAdmit(it->value().ToString(), a)) return refuse(Status::Damaged, "unreadable address record");
      admitted.emplace(it->key().ToString().substr(kAdmitPrefix.size()), std::move(a));
    }
    for (it->Seek(kResultPrefix); it->Valid() && it->key().starts_with(kResultPrefix); it->Next()) {
      Result r;
      if (!ReadResult(it->value().ToString(), r)) return refuse(Status::Damaged, "unreadable result record");
      replay.nextSequence = std::stoull(it->key().ToString().substr(kResultPrefix.size())) + 1;
      if (!done.emplace(r.path, r.state).second) continue;  // one result per page
      auto [entry, fresh] = admitted.try_emplace(r.path);
      // A result may precede its admission by a hair when another worker took the page at once.
      if (fresh) entry->second.record.depth = r.depth;
      entry->second.record.code = r.code;
      (r.state == Crawled ? c.crawledOk : c.failed) += 1;
      if (r.listing == static_cast<int32_t>(CrawlJournal::Listing::Noindex)) c.excluded += 1;
      if (r.listing == static_cast<int32_t>(CrawlJournal::Listing::Listed))
        replay.results.push_back(PageResult{r.path, r.code, r.lastmod});
    }
    if (!it->status().ok()) return refuse(Status::Damaged, it->status().ToString());
    // Killed before its first batch: not even the first page is known, nothing to go on with.
    if (admitted.empty()) return summary;
    replay.urls.reserve(admitted.size());
    for (auto& [path, a] : admitted) {
      url_prop record = a.record;
      auto finished = done.find(path);
      if (finished != done.end()) {
        record.state = finished->second;
      } else if (a.admission == static_cast<int32_t>(CrawlJournal::Admission::Waiting)) {
        record.state = Waiting;  // in flight at the stop: fetched again
        c.waiting += 1;
      } else {
        record.state = NotAllowed;
        (a.admission == static_cast<int32_t>(CrawlJournal::Admission::Refused) ? c.notAllowed : c.tooDeep) += 1;
      }
      if (record.excludedFlag != 0) c.excluded += 1;
      replay.urls.push_back(JournalReplay::Url{path, record});
    }
    summary.status = Status::Unfinished;
    summary.finished = static_cast<int64_t>(done.size());
    summary.waiting = c.waiting;
    summary.params = replay.params;
    return summary;
  } catch (const std::exception& e) {
    return refuse(Status::Damaged, e.what());
  } catch (...) {
    return refuse(Status::Damaged, "unreadable");
  }
}

}  // namespace

std::string CrawlJournal::FolderName(const std::string& startUrl) {
  std::string readable;
  std::string_view rest = startUrl;
  if (auto scheme = rest.find("://"); scheme != std::string_view::npos) rest.remove_prefix(scheme + 3);
  for (char ch : rest) {
    if (readable.size() >= 60) break;
    const bool safe = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '.' ||
                      ch == '-';
    readable += safe ? ch : '_';
  }
  // Two addresses with the same readable part still get two journals.
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char ch : startUrl) hash = (hash ^ ch) * 1099511628211ull;
  char hex[20];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return "journal_" + readable + "_" + std::string(hex, 8);
}

JournalSummary CrawlJournal::Inspect(const std::string& path, const std::string& startUrl) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) return JournalSummary{};
  CLevelDb db;
  JournalReplay replay;
  if (db.Open(path) != rc::kOk) {
    JournalSummary summary;
    summary.status = JournalSummary::Status::Damaged;
    summary.detail = db.lastError();
    return summary;
  }
  return ReadJournal(db, startUrl, replay);
}

bool CrawlJournal::Remove(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  return !std::filesystem::exists(path, ec);
}

// A journal is written once and read once: a small write buffer bounds its memory however
// large the crawl, at the price of a table file every few MiB.
CrawlJournal::CrawlJournal(std::string path) : path_(std::move(path)) { db_.SetWriteBufferSize(size_t(4) << 20); }

CrawlJournal::~CrawlJournal() { Close(false); }

int32_t CrawlJournal::Begin(const CrawlStartParams& params, const SiteOrigin& origin) {
  std::lock_guard<std::mutex> guard(journalLock_);
  try {
    db_.Close();
    open_ = false;
    // Another crawl of this address writing its journal right now keeps it: this one runs
    // without a journal rather than remove a folder in use.
    std::error_code ec;
    if (std::filesystem::exists(path_, ec) && db_.Open(path_) != rc::kOk &&
        db_.lastError().find("LOCK") != std::string::npos) {
      failed_ = true;
      return rc::kDbOpen;
    }
    db_.Close();
    Remove(path_);
    batch_.Clear();
    batchRecords_ = 0;
    sequence_ = 0;
    if (db_.Open(path_) != rc::kOk) {
      failed_ = true;
      return rc::kDbOpen;
    }
    open_ = true;
    failed_ = false;
    // The start record and the origin go in one write: a journal never holds one without the other.
    Append(kVersionKey, std::to_string(kFormatVersion));
    Append(kStartKey, StartText(params));
    Append(kOriginKey, OriginText(origin));
    WriteBatch();
    return failed_ ? rc::kDbWrite : rc::kOk;
  } catch (...) {
    failed_ = true;
    return rc::kGeneral;
  }
}

int32_t CrawlJournal::Resume(const std::string& startUrl, JournalReplay& replay) {
  std::lock_guard<std::mutex> guard(journalLock_);
  try {
    db_.Close();
    open_ = false;
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec) || db_.Open(path_) != rc::kOk) return rc::kDbOpen;
    if (ReadJournal(db_, startUrl, replay).status != JournalSummary::Status::Unfinished) {
      db_.Close();
      replay = JournalReplay{};
      return rc::kDbRead;
    }
    sequence_ = replay.nextSequence;
    open_ = true;
    failed_ = false;
    return rc::kOk;
  } catch (...) {
    db_.Close();
    return rc::kGeneral;
  }
}

void CrawlJournal::Admitted(const std::string& path, const std::string& parent, int32_t depth, Admission admission,
                            bool excluded) {
  std::lock_guard<std::mutex> guard(journalLock_);
  if (!open_ || failed_) return;
  try {
    TextArchiveWriter w;
    w.WriteInt(0);
    w.WriteInt(0);
    w.WriteInt(depth);
    w.WriteInt(admission == Admission::Waiting ? Waiting : NotAllowed);
    w.WriteInt(excluded ? 1 : 0);
    w.WriteString("");
    w.WriteInt(static_cast<int32_t>(admission));
    w.WriteString(parent);
    if (w.ok()) Append(kAdmitPrefix + path, w.text());
  } catch (...) {
    failed_ = true;  // out of memory: the journal ends here, still a prefix of the crawl
  }
}

void CrawlJournal::Finished(const std::string& path, int32_t depth, int32_t state, const std::string& code,
                            const std::string& lastmod, Listing listing) {
  std::lock_guard<std::mutex> guard(journalLock_);
  if (!open_ || failed_) return;
  try {
    TextArchiveWriter w;
    w.WriteInt(depth);
    w.WriteInt(state == Crawled ? Crawled : Failed);
    w.WriteInt(static_cast<int32_t>(listing));
    w.WriteString(code);
    w.WriteString(lastmod);
    const std::string* description = code == "200" ? nullptr : StatusText(code);
    w.WriteString(description ? *description : std::string());
    w.WriteString(path);
    if (w.ok()) Append(ResultKey(sequence_++), w.text());
  } catch (...) {
    failed_ = true;
  }
}

void CrawlJournal::Append(const std::string& key, const std::string& value) {
  if (batchRecords_ == 0) batchStartMs_ = NowMs();
  batch_.Put(key, value);
  ++batchRecords_;
  if (batchRecords_ >= kBatchRecords || NowMs() - batchStartMs_ >= kBatchAgeMs) WriteBatch();
}

void CrawlJournal::WriteBatch() {
  if (batchRecords_ == 0 || !open_ || failed_) return;
  leveldb::DB* handle = db_.handle();
  // A failed write (a full disk) ends the journal: what is on disk stays a consistent prefix.
  if (handle == nullptr || !handle->Write(leveldb::WriteOptions(), &batch_).ok()) failed_ = true;
  batch_.Clear();
  batchRecords_ = 0;
}

void CrawlJournal::Close(bool remove) {
  std::lock_guard<std::mutex> guard(journalLock_);
  try {
    WriteBatch();
  } catch (...) {
    failed_ = true;
  }
  const bool wasOpen = open_;
  open_ = false;
  db_.Close();
  if (remove && wasOpen) Remove(path_);
}
