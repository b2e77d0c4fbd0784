// The journal of a crawl: stopped crawls go on where they stopped; a journal that cannot be
// trusted is refused and the crawl starts afresh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "common/ResultCodes.h"
#include "crawl/CrawlJournal.h"
#include "CrawlTestSite.h"
#include "store/CLevelDb.h"
#include "support/TempDir.h"

namespace {

// A tree of count pages: "/" links to /p/1../p/10, /p/N to /p/10N+1../p/10N+10.
void ServeTree(TestSite& site, int count) {
  site.SetGenerator([count](const std::string& path, TestSite::Page& page) {
    long id = 0;
    if (path != "/") {
      if (path.rfind("/p/", 0) != 0) return false;
      id = std::stol(path.substr(3));
      if (id <= 0 || id >= count) return false;
    }
    std::vector<std::string> links;
    for (long child = id * 10 + 1; child <= id * 10 + 10 && child < count; ++child)
      links.push_back("/p/" + std::to_string(child));
    page.html = PageWithLinks(links);
    return true;
  });
}

CrawlRun::Options TreeOptions(const std::string& journal, bool resume) {
  CrawlRun::Options options;
  options.maxDepth = 10;
  options.threadCount = 4;
  options.journalPath = journal;
  options.resume = resume;
  return options;
}

// Crawls until at least stopAt results have come in this run (0: to the end); the run's new
// paths (the journal's replay not counted) go to fresh.
bool CrawlUntil(CrawlRun& run, const std::string& url, const CrawlRun::Options& options, size_t stopAt,
                std::set<std::string>* fresh = nullptr) {
  run.Start(url, options);
  if (!run.session) return false;
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  bool stopped = false;
  while (!run.finished && std::chrono::steady_clock::now() < limit) {
    run.Pump();
    if (stopAt > 0 && !stopped && run.entries.size() >= stopAt) {
      run.session->Stop();
      stopped = true;
    }
  }
  return run.finished && run.session->ThreadEnded(std::chrono::seconds(30));
}

size_t CountOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

// Every address of the final record once, as the saved sitemap and URL list show them.
void ExpectEveryPageOnce(CrawlResults& results, size_t pages) {
  std::vector<std::string> fetched = results.FetchedAddresses();
  EXPECT_EQ(fetched.size(), pages);
  EXPECT_EQ(std::set<std::string>(fetched.begin(), fetched.end()).size(), pages);
  TempDir out;
  std::vector<std::string> saved;
  ASSERT_EQ(results.SaveSitemap(out.str(), false, nullptr, false, &saved), rc::kOk);
  ASSERT_EQ(results.SaveUrlList(out.str()), rc::kOk);
  std::string sitemap;
  for (const std::string& name : saved) {
    std::filesystem::path file(name);
    sitemap += ReadFileBytes(file.is_absolute() ? file : out.path() / file);
  }
  const std::string list = ReadFileBytes(out.path() / CrawlResults::UrlListName(results.SiteName()));
  EXPECT_EQ(CountOf(sitemap, "<loc>"), pages);
  std::set<std::string> lines;
  size_t lineCount = 0;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    std::string line = list.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) {
      lines.insert(line);
      ++lineCount;
    }
    start = end + 1;
  }
  EXPECT_EQ(lineCount, pages);
  EXPECT_EQ(lines.size(), pages);
}

}  // namespace

TEST(CrawlJournalTest, ATreeStoppedThreeTimesAndResumedListsEveryPageOnceAndFetchesOnlyTheInFlightPagesAgain) {
  constexpr int kPages = 20000;
  TestSite site(8);
  ServeTree(site, kPages);
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string journal = (dir.path() / CrawlJournal::FolderName(site.origin())).string();

  std::set<std::string> recorded;      // paths with a result in some run
  std::set<std::string> mayRepeat;     // fetched in a run that had no result for them
  size_t arrivalsBefore = 0;
  std::unique_ptr<CrawlRun> last;
  for (int round = 0; round < 4; ++round) {
    auto run = std::make_unique<CrawlRun>();
    const bool final = round == 3;
    const size_t stopAt = final ? 0 : static_cast<size_t>(kPages) * (round + 1) / 4;
    ASSERT_TRUE(CrawlUntil(*run, site.origin(), TreeOptions(journal, round > 0), stopAt)) << round;
    EXPECT_EQ(run->session->outcome(), final ? rc::kOk : rc::kStopped);
    std::vector<std::string> arrivals = site.arrivals();
    std::set<std::string> thisRun;
    for (auto& entry : run->entries) thisRun.insert(entry.first);
    size_t inFlight = 0;
    for (size_t i = arrivalsBefore; i < arrivals.size(); ++i) {
      if (thisRun.count(arrivals[i]) == 0 && mayRepeat.insert(arrivals[i]).second) ++inFlight;
    }
    // At most one page per worker is cut off by a stop.
    EXPECT_LE(inFlight, 4u) << round;
    arrivalsBefore = arrivals.size();
    if (!final) {
      JournalSummary summary = CrawlJournal::Inspect(journal, site.origin());
      ASSERT_EQ(summary.status, JournalSummary::Status::Unfinished) << round;
      EXPECT_GE(summary.finished, static_cast<int64_t>(stopAt));
      EXPECT_GT(summary.waiting, 0);
    }
    last = std::move(run);
  }
  std::map<std::string, size_t> fetchCount;
  for (const std::string& path : site.arrivals()) ++fetchCount[path];
  for (const auto& [path, count] : fetchCount) {
    EXPECT_TRUE(count == 1 || (count == 2 && mayRepeat.count(path) == 1)) << path << " fetched " << count;
  }
  ExpectEveryPageOnce(last->results(), kPages);
  // The crawl has ended: its journal is gone.
  EXPECT_FALSE(std::filesystem::exists(journal));
}

TEST(CrawlJournalTest, ADamagedNewerOrForeignJournalIsRefusedAndTheCrawlStartsAfresh) {
  constexpr int kPages = 300;
  TestSite site;
  ServeTree(site, kPages);
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string journal = (dir.path() / "j").string();
  using Status = JournalSummary::Status;

  // A stopped crawl to spoil in several ways.
  auto makeStopped = [&] {
    CrawlJournal::Remove(journal);
    CrawlRun run;
    CrawlRun::Options options = TreeOptions(journal, false);
    options.threadCount = 1;
    ASSERT_TRUE(CrawlUntil(run, site.origin(), options, 50));
    ASSERT_EQ(CrawlJournal::Inspect(journal, site.origin()).status, Status::Unfinished);
  };
  auto resumeEndsWithEveryPage = [&](const char* what) {
    CrawlRun run;
    ASSERT_TRUE(CrawlUntil(run, site.origin(), TreeOptions(journal, true), 0)) << what;
    EXPECT_EQ(run.session->outcome(), rc::kOk) << what;
    ExpectEveryPageOnce(run.results(), kPages);
  };
  auto files = [&](const std::string& ending) {
    std::vector<std::filesystem::path> found;
    for (auto& entry : std::filesystem::directory_iterator(journal))
      if (entry.path().string().ends_with(ending)) found.push_back(entry.path());
    return found;
  };

  makeStopped();
  EXPECT_EQ(CrawlJournal::Inspect(journal, site.origin() + "/other/").status, Status::OtherAddress);
  resumeEndsWithEveryPage("usable");

  // Bytes cut off the log: leveldb keeps the whole records before the cut, a prefix of the
  // crawl, or nothing readable is left; either resumes soundly or starts afresh.
  makeStopped();
  for (const auto& log : files(".log")) std::filesystem::resize_file(log, std::filesystem::file_size(log) / 2);
  Status cut = CrawlJournal::Inspect(journal, site.origin()).status;
  EXPECT_TRUE(cut == Status::Unfinished || cut == Status::Damaged || cut == Status::None);
  resumeEndsWithEveryPage("cut off");

  makeStopped();
  for (const auto& name : {std::string("CURRENT")}) {
    std::ofstream garbage(std::filesystem::path(journal) / name, std::ios::binary | std::ios::trunc);
    garbage << "\x01\x02 not a manifest \xff\xfe";
  }
  for (const auto& log : files(".log")) {
    std::ofstream garbage(log, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 5000; ++i) garbage.put(static_cast<char>((i * 7919) & 0xff));
  }
  JournalSummary garbled = CrawlJournal::Inspect(journal, site.origin());
  EXPECT_EQ(garbled.status, Status::Damaged);
  EXPECT_FALSE(garbled.detail.empty());
  resumeEndsWithEveryPage("garbage");

  // A journal of another address is never resumed: its pages are not this crawl's.
  makeStopped();
  EXPECT_EQ(CrawlJournal::Inspect(journal, "http://127.0.0.1:1/").status, Status::OtherAddress);
  {
    CrawlRun run;
    TestSite other;
    ServeTree(other, 20);
    ASSERT_TRUE(other.Start());
    ASSERT_TRUE(CrawlUntil(run, other.origin(), TreeOptions(journal, true), 0));
    ExpectEveryPageOnce(run.results(), 20);
  }

  // A newer program's journal, and a record that is not one.
  makeStopped();
  {
    CLevelDb db;
    ASSERT_EQ(db.Open(journal), rc::kOk);
    ASSERT_EQ(db.Put("!version", "99"), rc::kOk);
  }
  EXPECT_EQ(CrawlJournal::Inspect(journal, site.origin()).status, Status::Newer);
  resumeEndsWithEveryPage("newer");
  makeStopped();
  {
    CLevelDb db;
    ASSERT_EQ(db.Open(journal), rc::kOk);
    ASSERT_EQ(db.Put("r/0000000000000003", "22 serialization::archive 9 x"), rc::kOk);
  }
  EXPECT_EQ(CrawlJournal::Inspect(journal, site.origin()).status, Status::Damaged);
  resumeEndsWithEveryPage("bad record");
}

TEST(CrawlJournalTest, AJournalInUseByAnotherCrawlIsLeftAloneAndTheNewCrawlRunsWithoutOne) {
  TestSite site;
  ServeTree(site, 50);
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string journal = (dir.path() / "j").string();
  CLevelDb holder;  // stands for the other crawl, which holds the database's lock
  ASSERT_EQ(holder.Open(journal), rc::kOk);
  ASSERT_EQ(holder.Put("!version", "1"), rc::kOk);
  CrawlRun run;
  ASSERT_TRUE(CrawlUntil(run, site.origin(), TreeOptions(journal, false), 0));
  EXPECT_EQ(run.session->outcome(), rc::kOk);
  ExpectEveryPageOnce(run.results(), 50);
  std::string version;
  EXPECT_EQ(holder.Get("!version", &version), rc::kOk);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(journal) / "CURRENT"));
}
