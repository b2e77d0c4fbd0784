#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "crawl/CrawlCounters.h"
#include "crawl/CrawlJournal.h"
#include "crawl/JournalNotice.h"
#include "crawl/CrawlPortion.h"
#include "crawl/RepeatedParamWatch.h"
#include "crawl/CrawlStartParams.h"
#include "store/CrawlStores.h"
#include "web/SiteOrigin.h"

// Every address of one crawl: the store of their states, the seven counters and the journal's
// records. Each change of an address's state is one call here, which changes all three
// together, so the counters always tell what the store holds and the journal holds every
// change once. Thread safe.
class UrlLedger {
 public:
  // What the rules say of an address met for the first time.
  struct Verdict {
    bool refused = false;   // never fetched (a forbidden type, robots.txt, the skip patterns)
    bool excluded = false;  // fetched, but left out of the results (the exclude patterns)
  };
  enum class Admission { Known, Waiting, TooDeep, Refused };
  // How a page that was fetched ended.
  enum class Ending { Crawled, Failed, Noindex };

  // journalPath empty: no journal is kept. maxPages: no page is taken once this many have
  // been fetched or are being fetched (0: no limit).
  UrlLedger(int32_t maxDepth, const std::string& journalPath, int32_t maxPages = 0);
  ~UrlLedger();
  UrlLedger(const UrlLedger&) = delete;
  UrlLedger& operator=(const UrlLedger&) = delete;

  CrawlStores& stores() { return *stores_; }
  CrawlCounters Counters() const;
  bool journaled() const { return journal_ != nullptr; }

  // A new journal for a crawl starting afresh. One that cannot be begun leaves the crawl
  // without a journal (it goes on, but cannot be resumed if cut off); JournalProblem says why.
  void BeginJournal(const CrawlStartParams& params, const SiteOrigin& origin);
  // Why the journal does not hold the whole crawl, with the store's words: not begun, or
  // stopped by a failed write. Safe while the crawl runs.
  JournalNotice JournalProblem() const;
  // Goes on with the journal's crawl of startUrl: the store and the counters as it left them;
  // false (nothing changed) when there is none to go on with.
  bool Resume(const std::string& startUrl, JournalReplay& replay);
  // Writes what is gathered and closes; remove: the crawl ended and needs no journal.
  void CloseJournal(bool remove);

  // An address found on parent (empty for a start page). judge is asked only for an address
  // met for the first time: Verdict(const std::string& path).
  template <class Judge>
  Admission Admit(const std::string& path, const std::string& parent, Judge judge) {
    // Judged before it is added, so the record is born refused or excluded; a known address
    // (most links) is not judged at all.
    if (stores_->Holds(path)) return Admission::Known;
    const Verdict verdict = judge(path);
    int32_t depth = 0;
    const UrlBirth birth{verdict.refused ? NotAllowed : Waiting, verdict.excluded ? 1 : 0};
    if (!stores_->TryAdd(path, parent, maxDepth_, depth, birth)) return Admission::Known;
    return Count(path, parent, depth, verdict);
  }
  // A start page fetched before the crawl: admitted and crawling at once; false when known.
  bool AdmitTaken(const std::string& path);
  // The next waiting address, now crawling; false when none waits or the page limit is reached.
  bool Take(std::string& path);
  // Whether an address was left waiting because the page limit was reached.
  bool PageLimitReached() const { return pageLimitReached_.load(); }
  // The query parameter that seems to make endless addresses; empty while none does.
  std::string RepeatedParameter() const { return repeats_.Parameter(); }
  // A crawling address waits again: the stop cut its page short.
  void Requeue(const std::string& path);
  // A crawling page answered with a body: Crawled while its links are read.
  void MarkFetched(const std::string& path);
  // A crawling page has ended: result gets its depth and the page it was found on, and is
  // journaled as the front end gets it. True when it goes into the results (not left out by
  // the patterns or by its noindex).
  bool Finish(PageResult& result, Ending how);

 private:
  Admission Count(const std::string& path, const std::string& parent, int32_t depth, Verdict verdict);
  template <class Change>
  void MoveCounters(Change change) {
    std::lock_guard<std::mutex> guard(countersLock_);
    change(counters_);
  }

  const int32_t maxDepth_;
  const int32_t maxPages_;
  std::atomic<bool> pageLimitReached_{false};
  RepeatedParamWatch repeats_;
  std::unique_ptr<CrawlStores> stores_;
  std::unique_ptr<CrawlJournal> journal_;
  mutable std::mutex problemLock_;  // guards notBegun_
  Status notBegun_;
  mutable std::mutex countersLock_;  // guards counters_
  CrawlCounters counters_;
};
