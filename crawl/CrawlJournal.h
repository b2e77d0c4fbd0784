#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <leveldb/write_batch.h>

#include "common/Status.h"
#include "crawl/CrawlCounters.h"
#include "crawl/CrawlPortion.h"
#include "crawl/CrawlStartParams.h"
#include "store/CLevelDb.h"
#include "store/url_prop.h"
#include "web/SiteOrigin.h"

// What a journal found on disk holds, told before a crawl starts so a front end can ask.
struct JournalSummary {
  enum class Status {
    None,          // no journal, or one of a crawl that never reached its first page
    Unfinished,    // a crawl of this address that can go on
    Older,         // written by an older version of the program, which kept too little to go on
    Newer,         // written by a newer version of the program
    Damaged,       // unreadable or incomplete
    OtherAddress,  // a crawl of another start address
  };
  Status status = Status::None;
  std::string detail;        // the reason of a refusal (leveldb's text, the other address...)
  int64_t finished = 0;      // pages with a result
  int64_t waiting = 0;       // admitted pages not fetched yet (those in flight included)
  CrawlStartParams params;   // the start record, when Unfinished
};

// Everything a resumed crawl starts from, read back from a journal.
struct JournalReplay {
  struct Url {
    std::string path;
    url_prop record;     // Crawled, Failed, NotAllowed or Waiting (in flight at the stop: Waiting)
    std::string parent;  // the page whose link admitted it; empty for a start address
  };
  CrawlStartParams params;
  SiteOrigin origin;
  std::vector<Url> urls;            // parents before the pages they admitted (by depth)
  std::vector<PageResult> results;  // the results the front end was given, in fetch order
  CrawlCounters counters;
  uint64_t nextSequence = 0;
};

// The journal of one crawl in a leveldb folder: the start record (every setting but the request
// options), every admitted address with its depth, state and the page it was found on, every
// result with its code, description, depth, found-on page, lastmod, language alternates and
// whether it went into the sitemap, so that a resumed crawl hands over what the crawl did.
// Records are appended in the order the crawl makes them and written in batches, each batch
// at once, so whatever a kill leaves is a prefix of the crawl: a page's result is never on
// disk before the links it admitted. Thread safe; no call throws.
class CrawlJournal {
 public:
  static constexpr int32_t kFormatVersion = 2;
  // Records gathered before a batch is written, and the longest a record waits for its batch.
  static constexpr size_t kBatchRecords = 256;
  static constexpr int64_t kBatchAgeMs = 100;

  // How an admitted address was counted.
  enum class Admission : int32_t { Waiting = 0, Refused = 1, TooDeep = 2 };
  // Where a result went: into the lists (and the sitemap), left out by the patterns, by the
  // page's noindex, or into the lists but not the sitemap as it names another canonical page.
  enum class Listing : int32_t { Listed = 0, Excluded = 1, Noindex = 2, Canonical = 3 };

  // A file-safe folder name for the journal of startUrl: its readable part plus a hash of it all.
  static std::string FolderName(const std::string& startUrl);
  // Reads the journal in folder path without changing it, against the address to be crawled.
  static JournalSummary Inspect(const std::string& path, const std::string& startUrl);
  // Removes the folder; true when it is gone.
  static bool Remove(const std::string& path);

  explicit CrawlJournal(std::string path);
  ~CrawlJournal();
  CrawlJournal(const CrawlJournal&) = delete;
  CrawlJournal& operator=(const CrawlJournal&) = delete;

  // A new journal in place of any old one: the version, the start record and the origin.
  // kDbOpen (another crawl of the address holds it, or it cannot be made) or kDbWrite, with
  // leveldb's words; the crawl then runs without a journal.
  Status Begin(const CrawlStartParams& params, const SiteOrigin& origin);
  // Opens the journal for going on: ok with replay filled, or kDbOpen (nothing to resume, or
  // it cannot be opened) or kDbRead (refused, with the reason); afterwards new records follow
  // the old ones.
  Status Resume(const std::string& startUrl, JournalReplay& replay);
  void Admitted(const std::string& path, const std::string& parent, int32_t depth, Admission admission,
                bool excluded);
  // A result as it was handed over (depth and parent filled in), its state Crawled or Failed.
  void Finished(const PageResult& result, int32_t state, Listing listing);
  // Writes what is gathered and closes; removes the folder when the crawl has ended.
  void Close(bool remove);

  bool failed() const { return failed_; }
  // Why the journal stopped being written after it was begun (a full disk...); ok while it
  // is written. Safe while the crawl runs.
  Status StoppedBy() const;
  const std::string& path() const { return path_; }

 private:
  // Adds one record to the batch (journalLock_ held) and writes the batch when it is due.
  void Append(const std::string& key, const std::string& value);
  void WriteBatch();  // journalLock_ held

  std::string path_;
  mutable std::mutex journalLock_;  // guards everything below
  CLevelDb db_;
  leveldb::WriteBatch batch_;
  size_t batchRecords_ = 0;
  int64_t batchStartMs_ = 0;
  uint64_t sequence_ = 0;
  bool open_ = false;
  bool failed_ = false;
  std::string failure_;  // leveldb's words for the write that failed the journal
  Status stoppedBy_;     // a write or an allocation that failed the open journal
};
