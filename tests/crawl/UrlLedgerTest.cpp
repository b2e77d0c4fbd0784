#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/Status.h"
#include "crawl/CrawlJournal.h"
#include "crawl/UrlLedger.h"
#include "store/UrlState.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace {

constexpr int32_t kMaxDepth = 3;

// A site as the ledger sees it: page p links to p*4+1 ... p*4+4; some links are refused or
// excluded by their name, some pages fail, have noindex, or are cut short once by a stop.
std::string PathOf(int n) { return "/p" + std::to_string(n); }
int NumberOf(const std::string& path) { return std::stoi(path.substr(2)); }
UrlLedger::Verdict JudgeOf(const std::string& path) {
  const int n = NumberOf(path);
  return UrlLedger::Verdict{n % 7 == 3, n % 5 == 2};
}

// Several workers take, admit, requeue and finish pages at once, as a crawl's workers do.
void Crawl(UrlLedger& ledger, std::vector<PageResult>& listed) {
  ASSERT_TRUE(ledger.AdmitTaken(PathOf(0)));
  std::mutex listedLock;
  std::set<std::string> requeuedOnce;
  auto handle = [&](const std::string& path) {
    const int n = NumberOf(path);
    {
      std::lock_guard<std::mutex> guard(listedLock);
      if (n % 9 == 4 && requeuedOnce.insert(path).second) {
        ledger.Requeue(path);
        return;
      }
    }
    for (int child = n * 4 + 1; child <= n * 4 + 4; ++child) ledger.Admit(PathOf(child), path, JudgeOf);
    PageResult result;
    result.path = path;
    result.outcome = PageOutcome::Status(n % 11 == 6 ? 404 : 200);
    UrlLedger::Ending how = !result.outcome.ok() ? UrlLedger::Ending::Failed
                            : n % 13 == 8       ? UrlLedger::Ending::Noindex
                                                : UrlLedger::Ending::Crawled;
    if (how != UrlLedger::Ending::Failed) ledger.MarkFetched(path);
    if (ledger.Finish(result, how)) {
      std::lock_guard<std::mutex> guard(listedLock);
      listed.push_back(result);
    }
  };
  handle(PathOf(0));
  std::vector<std::thread> workers;
  for (int w = 0; w < 6; ++w) {
    workers.emplace_back([&] {
      std::string path;
      for (int idle = 0; idle < 200;) {
        if (ledger.Take(path)) {
          handle(path);
          idle = 0;
        } else {
          ++idle;
          std::this_thread::yield();
        }
      }
    });
  }
  for (std::thread& t : workers) t.join();
}

}  // namespace

TEST(UrlLedgerTest, CountersAlwaysTellWhatTheStoreHoldsAndTheJournalHoldsEveryChangeOnce) {
  TempDir dir;
  const std::string path = (dir.path() / "journal").string();
  std::vector<PageResult> listed;
  CrawlCounters counted;
  std::map<int32_t, int> states;
  {
    UrlLedger ledger(kMaxDepth, path);
    CrawlStartParams params;
    params.startUrl = "http://127.0.0.1:8/";
    params.maxDepth = kMaxDepth;
    SiteOrigin origin{"http", "127.0.0.1", "8"};
    ledger.BeginJournal(params, origin);
    Crawl(ledger, listed);
    counted = ledger.Counters();
    // Every page of the tree down to the depth below the deepest fetched one.
    for (int n = 0; n <= 4 * (1 + 4 + 16 + 64); ++n) {
      const int32_t state = ledger.stores().memory().GetState(PathOf(n));
      if (state != Absent) states[state] += 1;
    }
    ledger.CloseJournal(false);
  }
  EXPECT_EQ(counted.crawling, 0);
  EXPECT_EQ(counted.waiting, states[Waiting]);
  EXPECT_EQ(counted.crawledOk, states[Crawled]);
  EXPECT_EQ(counted.failed, states[Failed]);
  EXPECT_EQ(counted.notAllowed + counted.tooDeep, states[NotAllowed]);
  EXPECT_GT(counted.tooDeep, 0);
  EXPECT_GT(counted.notAllowed, 0);
  EXPECT_GT(counted.failed, 0);
  EXPECT_GT(counted.excluded, 0);
  EXPECT_EQ(states[Crawling], 0);

  // Read back, the journal tells the same counts and the same listed results.
  UrlLedger resumed(kMaxDepth, path);
  JournalReplay replay;
  ASSERT_TRUE(resumed.Resume("http://127.0.0.1:8/", replay));
  const CrawlCounters back = resumed.Counters();
  EXPECT_EQ(back.waiting, counted.waiting);
  EXPECT_EQ(back.crawledOk, counted.crawledOk);
  EXPECT_EQ(back.failed, counted.failed);
  EXPECT_EQ(back.notAllowed, counted.notAllowed);
  EXPECT_EQ(back.tooDeep, counted.tooDeep);
  EXPECT_EQ(back.excluded, counted.excluded);
  std::set<std::string> listedPaths, replayedPaths;
  for (const PageResult& r : listed) listedPaths.insert(r.path);
  for (const PageResult& r : replay.results) replayedPaths.insert(r.path);
  EXPECT_EQ(replayedPaths, listedPaths);
  EXPECT_EQ(replay.results.size(), listed.size());  // each once
}

TEST(UrlLedgerTest, AnExcludedOrNoindexPageIsCountedButNotListedAndNoWorkerTakesAnAddressBeforeItsVerdict) {
  UrlLedger ledger(5, "");
  ASSERT_TRUE(ledger.AdmitTaken("/"));
  // Another worker taking while a link is judged finds nothing: the address, refused or
  // excluded, is never there without its verdict.
  std::string early;
  EXPECT_EQ(ledger.Admit("/skipped", "/",
                         [&](const std::string&) {
                           EXPECT_FALSE(ledger.Take(early)) << early;
                           return UrlLedger::Verdict{true, false};
                         }),
            UrlLedger::Admission::Refused);
  EXPECT_EQ(ledger.Admit("/hidden", "/",
                         [&](const std::string&) {
                           EXPECT_FALSE(ledger.Take(early)) << early;
                           return UrlLedger::Verdict{false, true};
                         }),
            UrlLedger::Admission::Waiting);
  EXPECT_EQ(ledger.Admit("/hidden", "/", [](const std::string&) { return UrlLedger::Verdict{}; }),
            UrlLedger::Admission::Known);
  PageResult root{"/", PageOutcome::Status(200)};
  ledger.MarkFetched("/");
  EXPECT_FALSE(ledger.Finish(root, UrlLedger::Ending::Noindex));
  std::string taken;
  ASSERT_TRUE(ledger.Take(taken));
  EXPECT_EQ(taken, "/hidden");
  PageResult hidden{"/hidden", PageOutcome::Status(200)};
  EXPECT_FALSE(ledger.Finish(hidden, UrlLedger::Ending::Crawled));
  EXPECT_EQ(hidden.depth, 1);
  EXPECT_EQ(hidden.parent, "/");
  const CrawlCounters c = ledger.Counters();
  EXPECT_EQ(c.crawledOk, 2);
  EXPECT_EQ(c.excluded, 2);  // one by the patterns, one by its noindex
  EXPECT_EQ(c.waiting + c.crawling, 0);
}

// A journal whose writes fail part way (a full disk) is offered as stopped, with leveldb's
// words; the crawl itself goes on to its end. One written throughout offers nothing.
TEST(UrlLedgerTest, AJournalWhoseWritesFailPartWayIsOfferedAsStoppedWithTheCause) {
  TempDir dir;
  // "kind at the start|kind at the end|code|message|pages listed"
  auto crawlJournaled = [&](const std::string& name) {
    UrlLedger ledger(kMaxDepth, (dir.path() / name).string());
    CrawlStartParams params;
    params.startUrl = "http://127.0.0.1:8/";
    ledger.BeginJournal(params, SiteOrigin{"http", "127.0.0.1", "8"});
    const JournalNotice begun = ledger.JournalProblem();
    std::vector<PageResult> listed;
    Crawl(ledger, listed);
    ledger.CloseJournal(false);
    const JournalNotice ended = ledger.JournalProblem();
    return std::to_string(static_cast<int>(begun.kind)) + "|" + std::to_string(static_cast<int>(ended.kind)) + "|" +
           StatusCodeName(ended.cause.code()) + "|" + ended.cause.message() + "|" + std::to_string(listed.size());
  };
  const std::string whole = crawlJournaled("whole");
  EXPECT_EQ(whole.substr(0, whole.rfind('|')), "0|0|Ok|") << whole;
  const std::string pages = whole.substr(whole.rfind('|'));

  const LimitedRun full = RunWithFileSizeLimit(4096, [&] { return crawlJournaled("full"); });
  ASSERT_TRUE(full.finished);
  EXPECT_EQ(full.report.rfind("0|2|DbWrite|IO error: ", 0), 0u) << full.report;
  EXPECT_EQ(full.report.substr(full.report.rfind('|')), pages) << full.report;
}
