#include "crawl/UrlLedger.h"

#include "store/UrlState.h"

UrlLedger::UrlLedger(int32_t maxDepth, const std::string& journalPath, int32_t maxPages)
    : maxDepth_(maxDepth), maxPages_(maxPages), stores_(std::make_unique<CrawlStores>()) {
  if (!journalPath.empty()) journal_ = std::make_unique<CrawlJournal>(journalPath);
}

UrlLedger::~UrlLedger() = default;

CrawlCounters UrlLedger::Counters() const {
  std::lock_guard<std::mutex> guard(countersLock_);
  return counters_;
}

void UrlLedger::BeginJournal(const CrawlStartParams& params, const SiteOrigin& origin) {
  if (!journal_) return;
  Status begun = journal_->Begin(params, origin);
  std::lock_guard<std::mutex> guard(problemLock_);
  notBegun_ = std::move(begun);
}

JournalNotice UrlLedger::JournalProblem() const {
  if (!journal_) return {};
  {
    std::lock_guard<std::mutex> guard(problemLock_);
    if (!notBegun_.ok()) return {JournalNotice::Kind::NotBegun, notBegun_};
  }
  Status stopped = journal_->StoppedBy();
  if (stopped.ok()) return {};
  return {JournalNotice::Kind::Stopped, std::move(stopped)};
}

bool UrlLedger::Resume(const std::string& startUrl, JournalReplay& replay) {
  if (!journal_ || !journal_->Resume(startUrl, replay).ok()) return false;
  CIntUrlData& memory = stores_->memory();
  for (const JournalReplay::Url& url : replay.urls) memory.Restore(url.path, url.record, url.parent);
  MoveCounters([&](CrawlCounters& c) { c = replay.counters; });
  return true;
}

void UrlLedger::CloseJournal(bool remove) {
  if (journal_) journal_->Close(remove);
}

UrlLedger::Admission UrlLedger::Count(const std::string& path, const std::string& parent, int32_t depth,
                                      Verdict verdict) {
  using Journaled = CrawlJournal::Admission;
  if (verdict.refused) {
    MoveCounters([](CrawlCounters& c) { c.notAllowed += 1; });
    if (journal_) journal_->Admitted(path, parent, depth, Journaled::Refused, false);
    return Admission::Refused;
  }
  const bool tooDeep = depth > maxDepth_;
  repeats_.Admitted(path);
  MoveCounters([&](CrawlCounters& c) {
    (tooDeep ? c.tooDeep : c.waiting) += 1;
    if (verdict.excluded) c.excluded += 1;
  });
  if (journal_) journal_->Admitted(path, parent, depth, tooDeep ? Journaled::TooDeep : Journaled::Waiting, verdict.excluded);
  return tooDeep ? Admission::TooDeep : Admission::Waiting;
}

bool UrlLedger::AdmitTaken(const std::string& path) {
  if (Admit(path, "", [](const std::string&) { return Verdict{}; }) != Admission::Waiting) return false;
  stores_->SetState(path, Crawling);
  MoveCounters([](CrawlCounters& c) {
    c.waiting -= 1;
    c.crawling += 1;
  });
  return true;
}

bool UrlLedger::Take(std::string& path) {
  if (maxPages_ > 0) {
    // Pages are taken one at a time (under the scheduler's lock): the count never runs past the limit.
    std::lock_guard<std::mutex> guard(countersLock_);
    const CrawlCounters& c = counters_;
    if (static_cast<int64_t>(c.crawledOk) + c.failed + c.crawling >= maxPages_) {
      if (c.waiting > 0) pageLimitReached_.store(true);
      return false;
    }
  }
  std::vector<std::string> taken;
  // What it took is taken whatever a failing store answered: no address is left Crawling unseen.
  stores_->TakeBatch(taken, 1);
  if (taken.empty()) return false;
  path.swap(taken.front());
  MoveCounters([](CrawlCounters& c) {
    c.crawling += 1;
    c.waiting -= 1;
  });
  return true;
}

void UrlLedger::Requeue(const std::string& path) {
  stores_->SetState(path, Waiting);
  MoveCounters([](CrawlCounters& c) {
    c.crawling -= 1;
    c.waiting += 1;
  });
}

void UrlLedger::MarkFetched(const std::string& path) { stores_->SetState(path, Crawled); }

bool UrlLedger::Finish(PageResult& result, Ending how) {
  if (how == Ending::Failed) {
    stores_->SetState(result.path, Failed);
    stores_->SetFailed(result.path, result.outcome.Text());
  }
  MoveCounters([how](CrawlCounters& c) {
    c.crawling -= 1;
    (how == Ending::Failed ? c.failed : c.crawledOk) += 1;
    // Crawled, and left out of the results as an excluded page is.
    if (how == Ending::Noindex) c.excluded += 1;
  });
  stores_->Lineage(result.path, result.depth, result.parent);
  const bool excluded = stores_->GetExcluded(result.path) != 0;
  if (journal_) {
    using Listing = CrawlJournal::Listing;
    const Listing listing = how == Ending::Noindex ? Listing::Noindex
                            : excluded             ? Listing::Excluded
                            : result.inSitemap     ? Listing::Listed
                                                   : Listing::Canonical;
    journal_->Finished(result, how == Ending::Failed ? Failed : Crawled, listing);
  }
  return how != Ending::Noindex && !excluded;
}
