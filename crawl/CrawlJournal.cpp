#include "crawl/CrawlJournal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include <leveldb/iterator.h>

#include "crawl/JournalRecords.h"

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
    if (!db.Get(kVersionKey, &version).ok()) {
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
      // An older journal lacks what the sitemap needs of each page: going on with it would
      // write another sitemap than the crawl it was started as.
      if (digits && std::stoi(version) >= 1) return refuse(Status::Older, "format version " + version);
      return refuse(Status::Damaged, "format version \"" + version + "\"");
    }
    std::string start;
    if (!db.Get(kStartKey, &start).ok() || !ReadStart(start, replay.params))
      return refuse(Status::Damaged, "unreadable start record");
    if (replay.params.startUrl != startUrl) return refuse(Status::OtherAddress, replay.params.startUrl);
    std::string origin;
    if (!db.Get(kOriginKey, &origin).ok()) return summary;  // never reached its first page
    if (!ReadOrigin(origin, replay.origin)) return refuse(Status::Damaged, "unreadable origin");

    std::map<std::string, JournalAdmit> admitted;
    std::map<std::string, int32_t> done;  // path -> Crawled or Failed
    CrawlCounters& c = replay.counters;
    std::unique_ptr<leveldb::Iterator> it(handle->NewIterator(leveldb::ReadOptions()));
    for (it->Seek(kAdmitPrefix); it->Valid() && it->key().starts_with(kAdmitPrefix); it->Next()) {
      JournalAdmit a;
      if (!ReadAdmit(it->value().ToString(), a)) return refuse(Status::Damaged, "unreadable address record");
      admitted.emplace(it->key().ToString().substr(kAdmitPrefix.size()), std::move(a));
    }
    for (it->Seek(kResultPrefix); it->Valid() && it->key().starts_with(kResultPrefix); it->Next()) {
      JournalResult r;
      if (!ReadResult(it->value().ToString(), r)) return refuse(Status::Damaged, "unreadable result record");
      replay.nextSequence = std::stoull(it->key().ToString().substr(kResultPrefix.size())) + 1;
      if (!done.emplace(r.path, r.state).second) continue;  // one result per page
      auto [entry, fresh] = admitted.try_emplace(r.path);
      // A result may precede its admission by a hair when another worker took the page at once.
      if (fresh) {
        entry->second.record.depth = r.depth;
        entry->second.parent = r.parent;
      }
      entry->second.record.code = r.outcome.Text();
      (r.state == Crawled ? c.crawledOk : c.failed) += 1;
      using Listing = CrawlJournal::Listing;
      const auto listing = static_cast<Listing>(r.listing);
      if (listing == Listing::Noindex) c.excluded += 1;
      if (listing == Listing::Listed || listing == Listing::Canonical) {
        replay.results.push_back(PageResult{std::move(r.path), r.outcome, std::move(r.lastmod), r.depth,
                                            std::move(r.parent), listing == Listing::Listed,
                                            std::move(r.alternates), std::move(r.title), std::move(r.contentHash),
                                            r.contentChange});
        replay.results.back().images = std::move(r.images);
      }
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
      replay.urls.push_back(JournalReplay::Url{path, record, std::move(a.parent)});
    }
    // A page's parent is restored before it, so the page can point at it.
    std::stable_sort(replay.urls.begin(), replay.urls.end(),
                     [](const JournalReplay::Url& x, const JournalReplay::Url& y) {
                       return x.record.depth < y.record.depth;
                     });
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
  if (Status opened = db.Open(path); !opened.ok()) {
    JournalSummary summary;
    summary.status = JournalSummary::Status::Damaged;
    summary.detail = opened.message();
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

Status CrawlJournal::Begin(const CrawlStartParams& params, const SiteOrigin& origin) {
  std::lock_guard<std::mutex> guard(journalLock_);
  try {
    db_.Close();
    open_ = false;
    failure_.clear();
    stoppedBy_ = Status();
    // Another crawl of this address writing its journal right now keeps it: this one runs
    // without a journal rather than remove a folder in use.
    std::error_code ec;
    if (std::filesystem::exists(path_, ec)) {
      Status held = db_.Open(path_);
      if (!held.ok() && held.message().find("LOCK") != std::string::npos) {
        failed_ = true;
        return held;
      }
    }
    db_.Close();
    Remove(path_);
    batch_.Clear();
    batchRecords_ = 0;
    sequence_ = 0;
    if (Status opened = db_.Open(path_); !opened.ok()) {
      failed_ = true;
      return opened;
    }
    open_ = true;
    failed_ = false;
    // The start record and the origin go in one write: a journal never holds one without the other.
    Append(kVersionKey, std::to_string(kFormatVersion));
    Append(kStartKey, StartText(params));
    Append(kOriginKey, OriginText(origin));
    WriteBatch();
    return failed_ ? Status(StatusCode::kDbWrite, failure_) : Status();
  } catch (...) {
    failed_ = true;
    return StatusCode::kGeneral;
  }
}

Status CrawlJournal::Resume(const std::string& startUrl, JournalReplay& replay) {
  std::lock_guard<std::mutex> guard(journalLock_);
  try {
    db_.Close();
    open_ = false;
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return StatusCode::kDbOpen;
    if (Status opened = db_.Open(path_); !opened.ok()) return opened;
    const JournalSummary found = ReadJournal(db_, startUrl, replay);
    if (found.status != JournalSummary::Status::Unfinished) {
      db_.Close();
      replay = JournalReplay{};
      return Status(StatusCode::kDbRead, found.detail);
    }
    sequence_ = replay.nextSequence;
    open_ = true;
    failed_ = false;
    stoppedBy_ = Status();
    return {};
  } catch (...) {
    db_.Close();
    return StatusCode::kGeneral;
  }
}

void CrawlJournal::Admitted(const std::string& path, const std::string& parent, int32_t depth, Admission admission,
                            bool excluded) {
  std::lock_guard<std::mutex> guard(journalLock_);
  if (!open_ || failed_) return;
  try {
    std::string text;
    if (AdmitText(parent, depth, static_cast<int32_t>(admission), excluded, text)) Append(kAdmitPrefix + path, text);
  } catch (...) {
    failed_ = true;  // out of memory: the journal ends here, still a prefix of the crawl
    stoppedBy_ = StatusCode::kNoMemory;
  }
}

void CrawlJournal::Finished(const PageResult& result, int32_t state, Listing listing) {
  std::lock_guard<std::mutex> guard(journalLock_);
  if (!open_ || failed_) return;
  try {
    std::string text;
    if (ResultText(result, state, static_cast<int32_t>(listing), text)) Append(ResultKey(sequence_++), text);
  } catch (...) {
    failed_ = true;
    stoppedBy_ = StatusCode::kNoMemory;
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
  if (handle == nullptr) {
    failed_ = true;
    stoppedBy_ = StatusCode::kNotOpen;
  } else if (leveldb::Status written = handle->Write(leveldb::WriteOptions(), &batch_); !written.ok()) {
    failed_ = true;
    failure_ = written.ToString();
    stoppedBy_ = Status(StatusCode::kDbWrite, failure_);
  }
  batch_.Clear();
  batchRecords_ = 0;
}

Status CrawlJournal::StoppedBy() const {
  std::lock_guard<std::mutex> guard(journalLock_);
  return stoppedBy_;
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
