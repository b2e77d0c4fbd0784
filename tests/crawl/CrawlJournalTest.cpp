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
#include "crawl/JournalRecords.h"
#include "crawl/ResumeDecision.h"
#include "output/CSitemapXmlWriter.h"
#include "CrawlTestSite.h"
#include "support/SameSettings.h"
#include "store/CLevelDb.h"
#include "support/SitemapXml.h"
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
  ASSERT_TRUE(results.SaveSitemap(out.str(), false, nullptr, false, &saved).ok());
  ASSERT_TRUE(results.SaveUrlList(out.str()).ok());
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
    ASSERT_TRUE(db.Open(journal).ok());
    ASSERT_TRUE(db.Put("!version", "99").ok());
  }
  EXPECT_EQ(CrawlJournal::Inspect(journal, site.origin()).status, Status::Newer);
  resumeEndsWithEveryPage("newer");
  makeStopped();
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(journal).ok());
    ASSERT_TRUE(db.Put("r/0000000000000003", "22 serialization::archive 9 x").ok());
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
  ASSERT_TRUE(holder.Open(journal).ok());
  ASSERT_TRUE(holder.Put("!version", "1").ok());
  CrawlRun run;
  ASSERT_TRUE(CrawlUntil(run, site.origin(), TreeOptions(journal, false), 0));
  EXPECT_EQ(run.session->outcome(), rc::kOk);
  ExpectEveryPageOnce(run.results(), 50);
  std::string version;
  EXPECT_TRUE(holder.Get("!version", &version).ok());
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(journal) / "CURRENT"));
  const JournalNotice problem = run.session->journalProblem();
  EXPECT_EQ(problem.kind, JournalNotice::Kind::NotBegun);
  EXPECT_EQ(problem.cause.code(), StatusCode::kDbOpen);
  EXPECT_NE(problem.cause.message().find("LOCK"), std::string::npos) << problem.cause;
}

// A journal folder that cannot be made (a file where it should be) leaves the crawl without a
// journal: it still crawls every page, and the session names the failure in leveldb's words.
TEST(CrawlJournalTest, AJournalThatCannotBeBegunIsOfferedAsAProblemAndTheCrawlGoesOn) {
  TestSite site;
  ServeTree(site, 30);
  ASSERT_TRUE(site.Start());
  TempDir dir;
  std::ofstream(dir.path() / "file") << "in the way";
  const std::string journal = (dir.path() / "file" / "j").string();
  CrawlRun run;
  ASSERT_TRUE(CrawlUntil(run, site.origin(), TreeOptions(journal, false), 0));
  EXPECT_EQ(run.session->outcome(), rc::kOk);
  ExpectEveryPageOnce(run.results(), 30);
  const JournalNotice problem = run.session->journalProblem();
  EXPECT_EQ(problem.kind, JournalNotice::Kind::NotBegun);
  EXPECT_EQ(problem.cause.code(), StatusCode::kDbOpen);
  EXPECT_NE(problem.cause.message().find("file/j"), std::string::npos) << problem.cause;

  CrawlRun kept;
  ASSERT_TRUE(CrawlUntil(kept, site.origin(), TreeOptions((dir.path() / "j").string(), false), 0));
  EXPECT_EQ(kept.session->journalProblem().kind, JournalNotice::Kind::None) << kept.session->journalProblem().cause;
}

TEST(CrawlJournalTest, AJournalGivesBackEverySettingOfItsStartRecordAndEachResultAsItWasHandedOver) {
  TempDir dir;
  const std::string journal = (dir.path() / "j").string();
  CrawlStartParams params;  // every field off its default
  params.startUrl = "http://127.0.0.1:9/start page/";
  params.maxDepth = 7;
  params.threadCount = 13;
  params.forbiddenExtensions = {".zip", ".iso"};
  params.rules.obeyRobots = true;
  params.rules.minIntervalMs = 250;
  params.rules.userAgent = "Veltro test agent/2 (+ spaces)";
  params.sitemap.lastmodFrom = LastmodSource::None;
  params.rules.renderScripts = true;
  params.sitemap.canonicalOnly = true;
  params.sitemap.languageAlternates = true;
  params.sitemap.changefreq = "weekly";
  params.sitemap.priorities = {"1.0", "0.8", "0.6", "0.4"};
  params.sitemap.indexFile = true;
  params.sitemap.images = true;
  params.includePatterns = {"/docs/*", "/blog/*"};
  params.excludePatterns = {"*.pdf"};
  params.journalPath = journal;
  SiteOrigin origin{"http", "127.0.0.1", "9"};

  const PageResult root{"/", PageOutcome::Status(200), "2026-01-02", 0, "", true, {{"en", "http://127.0.0.1:9/"}, {"de", "http://127.0.0.1:9/de/"}}};
  const PageResult copy{"/copy.html", PageOutcome::Status(200), "", 1, "/", false, {}};
  const PageResult broken{"/broken.html", PageOutcome::Status(404), "", 2, "/copy.html", true, {}};
  {
    CrawlJournal writer(journal);
    ASSERT_TRUE(writer.Begin(params, origin).ok());
    using Admission = CrawlJournal::Admission;
    using Listing = CrawlJournal::Listing;
    // Written children first: the replay still puts each page after the page that admitted it.
    writer.Admitted("/broken.html", "/copy.html", 2, Admission::Waiting, false);
    writer.Admitted("/", "", 0, Admission::Waiting, false);
    writer.Admitted("/copy.html", "/", 1, Admission::Waiting, false);
    writer.Admitted("/secret.pdf", "/", 1, Admission::Waiting, true);
    writer.Admitted("/hidden.html", "/", 1, Admission::Waiting, false);
    writer.Admitted("/later.html", "/copy.html", 2, Admission::Waiting, false);
    writer.Finished(root, Crawled, Listing::Listed);
    writer.Finished(copy, Crawled, Listing::Canonical);
    writer.Finished(PageResult{"/secret.pdf", PageOutcome::Status(200), "", 1, "/", true, {}}, Crawled, Listing::Excluded);
    writer.Finished(PageResult{"/hidden.html", PageOutcome::Status(200), "", 1, "/", true, {}}, Crawled, Listing::Noindex);
    writer.Finished(broken, Failed, Listing::Listed);
    writer.Close(false);
  }

  const JournalSummary summary = CrawlJournal::Inspect(journal, params.startUrl);
  ASSERT_EQ(summary.status, JournalSummary::Status::Unfinished) << summary.detail;
  ExpectSameSettings(summary.params, params);
  EXPECT_EQ(summary.finished, 5);
  EXPECT_EQ(summary.waiting, 1);

  // Going on: the journal's settings with this run's request options; afresh: as typed.
  CrawlStartParams typed;
  typed.startUrl = params.startUrl;
  typed.httpOptions = http_options{};
  typed.httpOptions->totalTimeout = 77;
  const ResumeDecision decision = ResumeDecision::For(typed, journal);
  ASSERT_EQ(decision.kind, ResumeDecision::Kind::Offer);
  const CrawlStartParams run = decision.ParamsToRun(true);
  EXPECT_TRUE(run.sitemap == params.sitemap);
  EXPECT_TRUE(run.rules == params.rules);
  EXPECT_EQ(run.excludePatterns, params.excludePatterns);
  ASSERT_TRUE(run.httpOptions.has_value());
  EXPECT_EQ(run.httpOptions->totalTimeout, 77);
  EXPECT_EQ(run.journalPath, journal);
  EXPECT_TRUE(run.resume);
  const CrawlStartParams afresh = decision.ParamsToRun(false);
  EXPECT_TRUE(afresh.sitemap == SitemapContent{});
  EXPECT_EQ(afresh.journalPath, journal);
  EXPECT_FALSE(afresh.resume);

  // The results the front end was given, whole; excluded and noindex pages were given none.
  CrawlJournal reader(journal);
  JournalReplay replay;
  ASSERT_TRUE(reader.Resume(params.startUrl, replay).ok());
  auto same = [](const PageResult& a, const PageResult& b) {
    return a.path == b.path && a.outcome == b.outcome && a.lastmod == b.lastmod && a.depth == b.depth &&
           a.parent == b.parent && a.inSitemap == b.inSitemap && a.alternates == b.alternates;
  };
  ASSERT_EQ(replay.results.size(), 3u);
  EXPECT_TRUE(same(replay.results[0], root));
  EXPECT_TRUE(same(replay.results[1], copy));
  EXPECT_TRUE(same(replay.results[2], broken));
  EXPECT_EQ(replay.counters.crawledOk, 4);
  EXPECT_EQ(replay.counters.failed, 1);
  EXPECT_EQ(replay.counters.waiting, 1);
  std::map<std::string, size_t> position;
  for (size_t i = 0; i < replay.urls.size(); ++i) position[replay.urls[i].path] = i;
  ASSERT_EQ(position.size(), 6u);
  for (const JournalReplay::Url& url : replay.urls) {
    if (!url.parent.empty()) EXPECT_LT(position.at(url.parent), position.at(url.path)) << url.path;
  }
  EXPECT_EQ(replay.urls[position.at("/later.html")].parent, "/copy.html");
  EXPECT_EQ(replay.urls[position.at("/later.html")].record.state, Waiting);
  reader.Close(false);
}

TEST(CrawlJournalTest, AnOlderFormatOrADamagedRecordIsRefusedWithItsReasonAndTheCrawlStartsAfresh) {
  constexpr int kPages = 300;
  TestSite site;
  ServeTree(site, kPages);
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string journal = (dir.path() / "j").string();
  CrawlStartParams typed = CrawlRun::ParamsOf(site.origin(), TreeOptions(journal, true));
  using Status = JournalSummary::Status;

  // A journal as the first format wrote it: a start record without the sitemap content, and
  // results without depth, parent or alternates.
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(journal).ok());
    ASSERT_TRUE(db.Put("!version", "1").ok());
    ASSERT_TRUE(db.Put("!start", "22 serialization::archive 9 " + std::to_string(site.origin().size()) + " " +
                                     site.origin() + " 10 4 0 0 0 0 0 0 0 0 0").ok());
    ASSERT_TRUE(db.Put("!origin", "22 serialization::archive 9 4 http 9 127.0.0.1 0 ").ok());
    ASSERT_TRUE(db.Put("a//", "22 serialization::archive 9 0 0 0 1 0 0  0 0 ").ok());
    ASSERT_TRUE(db.Put("r/0000000000000000", "22 serialization::archive 9 0 1 0 3 200 0  0  1 /").ok());
  }
  const JournalSummary older = CrawlJournal::Inspect(journal, site.origin());
  EXPECT_EQ(older.status, Status::Older);
  EXPECT_NE(older.detail.find("1"), std::string::npos) << older.detail;
  ResumeDecision decision = ResumeDecision::For(typed, journal);
  EXPECT_EQ(decision.kind, ResumeDecision::Kind::Refused);
  EXPECT_EQ(decision.reason, Status::Older);
  EXPECT_FALSE(decision.ParamsToRun(true).resume);
  {
    // Asked to go on, the crawl starts afresh all the same and fetches every page.
    CrawlRun run;
    ASSERT_TRUE(CrawlUntil(run, site.origin(), TreeOptions(journal, true), 0));
    EXPECT_EQ(run.session->outcome(), rc::kOk);
    ExpectEveryPageOnce(run.results(), kPages);
  }

  // A result record cut short: damaged, its reason said; removed through the decision.
  {
    CrawlRun run;
    CrawlRun::Options options = TreeOptions(journal, false);
    options.threadCount = 1;
    ASSERT_TRUE(CrawlUntil(run, site.origin(), options, 50));
  }
  ASSERT_EQ(CrawlJournal::Inspect(journal, site.origin()).status, Status::Unfinished);
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(journal).ok());
    std::string record;
    ASSERT_TRUE(db.Get("r/0000000000000001", &record).ok());
    ASSERT_TRUE(db.Put("r/0000000000000001", record.substr(0, record.size() - 3)).ok());
  }
  const JournalSummary damaged = CrawlJournal::Inspect(journal, site.origin());
  EXPECT_EQ(damaged.status, Status::Damaged);
  EXPECT_EQ(damaged.detail, "unreadable result record");
  {
    CrawlJournal refusing(journal);
    JournalReplay nothing;
    const auto refused = refusing.Resume(site.origin(), nothing);
    EXPECT_EQ(refused.code(), StatusCode::kDbRead);
    EXPECT_EQ(refused.message(), "unreadable result record");
  }
  decision = ResumeDecision::For(typed, journal);
  EXPECT_EQ(decision.kind, ResumeDecision::Kind::Refused);
  EXPECT_EQ(decision.reason, Status::Damaged);
  EXPECT_TRUE(decision.Discard());
  EXPECT_FALSE(std::filesystem::exists(journal));
  EXPECT_EQ(ResumeDecision::For(typed, journal).kind, ResumeDecision::Kind::Afresh);

  // A journal another crawl holds open cannot be read, and is not removed under it.
  CLevelDb holder;
  ASSERT_TRUE(holder.Open(journal).ok());
  ASSERT_TRUE(holder.Put("!version", "2").ok());
  decision = ResumeDecision::For(typed, journal);
  EXPECT_EQ(decision.kind, ResumeDecision::Kind::Refused);
  EXPECT_FALSE(decision.Discard());
  // Nor by a crawl that starts afresh: it runs without a journal, and the failure says why.
  CrawlJournal afresh(journal);
  const auto begun = afresh.Begin(typed, SiteOrigin{"http", "127.0.0.1", "9"});
  EXPECT_EQ(begun.code(), StatusCode::kDbOpen);
  EXPECT_NE(begun.message().find("LOCK"), std::string::npos) << begun.message();
  EXPECT_TRUE(afresh.failed());
  JournalReplay replay;
  EXPECT_EQ(afresh.Resume(typed.startUrl, replay).code(), StatusCode::kDbOpen);
  std::string version;
  EXPECT_TRUE(holder.Get("!version", &version).ok());
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(journal) / "CURRENT"));
}

// A page's title is kept only when it has one, so a record without it (every crawl without
// the HTML sitemap, and every older journal) reads as before.
TEST(JournalRecordsTest, APagesImagesSurviveTheJournalWithOrWithoutATitle) {
  PageResult shown{"/a.html", PageOutcome::Status(200), "", 1, "/", true, {}};
  shown.images = {"http://h/a.png", "https://cdn.test/b%20c.jpg"};
  PageResult titled = shown;
  titled.title = "标题";
  for (const PageResult& result : {shown, titled}) {
    std::string text;
    ASSERT_TRUE(ResultText(result, Crawled, 0, text));
    JournalResult back;
    ASSERT_TRUE(ReadResult(text, back)) << text;
    EXPECT_EQ(back.images, result.images);
    EXPECT_EQ(back.title, result.title);
  }
}

// A crawl stopped halfway and resumed writes the images of the pages of both runs.
TEST(CrawlJournalTest, AResumedCrawlWritesTheImagesOfThePagesTheStoppedRunFetched) {
  constexpr int kPages = 400;
  TestSite site(4);
  site.SetGenerator([](const std::string& path, TestSite::Page& page) {
    long id = 0;
    if (path != "/") {
      if (path.rfind("/p/", 0) != 0) return false;
      id = std::stol(path.substr(3));
      if (id <= 0 || id >= kPages) return false;
    }
    std::vector<std::string> links;
    for (long child = id * 10 + 1; child <= id * 10 + 10 && child < kPages; ++child)
      links.push_back("/p/" + std::to_string(child));
    page.html = PageWithLinks(links);
    page.html.insert(page.html.find("</body>"), "<img src=\"/img/" + std::to_string(id) + ".png\">");
    return true;
  });
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string journal = (dir.path() / CrawlJournal::FolderName(site.origin())).string();
  CrawlRun::Options options = TreeOptions(journal, false);
  options.sitemap.images = true;
  CrawlRun first;
  ASSERT_TRUE(CrawlUntil(first, site.origin(), options, kPages / 2));
  ASSERT_EQ(first.session->outcome(), rc::kStopped);
  CrawlRun::Options resumed = TreeOptions(journal, true);
  resumed.sitemap.images = true;  // as the journal's start record gives it back (see above)
  CrawlRun second;
  ASSERT_TRUE(CrawlUntil(second, site.origin(), resumed, 0));
  std::string text;
  ASSERT_TRUE(second.results().sitemap()->PrintCurrent(text).ok());
  const ParsedSitemap parsed = ParseSitemapXml(text);
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  ASSERT_EQ(parsed.urls.size(), static_cast<size_t>(kPages));
  for (const ParsedSitemapUrl& url : parsed.urls) {
    const std::string path = url.loc.substr(site.origin().size());
    const std::string id = path == "/" ? "0" : path.substr(3);
    EXPECT_EQ(url.images, std::vector<std::string>{site.origin() + "/img/" + id + ".png"}) << url.loc;
  }
}

TEST(JournalRecordsTest, APagesTitleSurvivesTheJournalAndARecordWithoutOneReadsAsBefore) {
  PageResult titled{"/a.html", PageOutcome::Status(200), "", 1, "/", true, {}, "标题 with spaces"};
  PageResult plain{"/b.html", PageOutcome::Status(200), "", 1, "/", true, {}};
  std::string titledText, plainText;
  ASSERT_TRUE(ResultText(titled, Crawled, 0, titledText));
  ASSERT_TRUE(ResultText(plain, Crawled, 0, plainText));
  JournalResult back;
  ASSERT_TRUE(ReadResult(titledText, back));
  EXPECT_EQ(back.title, "标题 with spaces");
  JournalResult old;
  ASSERT_TRUE(ReadResult(plainText, old));
  EXPECT_TRUE(old.title.empty());
  EXPECT_FALSE(ReadResult(titledText + " 3 abc", back));  // nothing may follow the title
}
