// lastmod from content: the site's history across crawls, a damaged history, and resume.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "CrawlTestSite.h"
#include "common/LocalDate.h"
#include "common/ResultCodes.h"
#include "crawl/ContentDating.h"
#include "crawl/PageHistory.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "support/SitemapXml.h"
#include "support/FileSizeLimit.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

Resource Page(const std::vector<std::string>& links, const std::string& text = "",
              const std::string& lastModified = "") {
  std::string html = "<html><head><title>t</title></head><body><p>" + text + "</p>";
  for (const std::string& link : links) html += "<p><a href=\"" + link + "\">x</a></p>";
  Resource page{200, "text/html", html + "</body></html>", ""};
  if (!lastModified.empty()) page.headers["Last-Modified"] = lastModified;
  return page;
}

CrawlRun::Options ContentOptions(const TempDir& history) {
  CrawlRun::Options options;
  options.sitemap.lastmodFrom = LastmodSource::Content;
  options.historyFolder = history.str();
  return options;
}

// path -> lastmod, as the crawl's record gives them to the sitemap.
std::map<std::string, std::string> Lastmods(const CrawlRun& run, const std::string& origin) {
  std::map<std::string, std::string> dates;
  for (const CrawlPortion& portion : run.portions)
    for (const auto& [address, date] : portion.lastmods) dates[address.substr(origin.size())] = date;
  return dates;
}

// "kind path lastmod" per row of the saved changes file.
std::vector<std::string> ChangesFile(CrawlResults& results, const std::string& origin) {
  TempDir out;
  EXPECT_TRUE(results.SaveChanges(out.str()).ok());
  std::ifstream in(out.path() / CrawlResults::ChangesName(results.SiteName()));
  std::vector<std::string> rows;
  for (std::string line; std::getline(in, line);) {
    const size_t first = line.find('\t'), second = line.find('\t', first + 1);
    rows.push_back(line.substr(0, first) + " " + line.substr(first + 1, second - first - 1).substr(origin.size()) +
                   " " + line.substr(second + 1));
  }
  return rows;
}

const char kStayDate[] = "Fri, 01 May 2020 10:00:00 GMT";
const char kStayW3c[] = "2020-05-01T10:00:00+00:00";
const char kChangeDate[] = "Mon, 01 Feb 2021 10:00:00 GMT";
const char kChangeW3c[] = "2021-02-01T10:00:00+00:00";

}  // namespace

// First sight takes Last-Modified (else the crawl's date); later an unchanged page keeps its
// date, a changed one takes the crawl's, a page no longer found is gone; the changes file and
// the sitemap of the changes name exactly those.
TEST(PageHistoryTest, ThreeCrawlsDateNewChangedAndUnchangedPagesAndNameTheGoneOnes) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  const std::string today = LocalIsoDate();
  TempDir history;
  site.Set("/", Page({"/stay.html", "/change.html", "/go.html"}));
  site.Set("/stay.html", Page({}, "stays", kStayDate));
  site.Set("/change.html", Page({}, "first text", kChangeDate));
  site.Set("/go.html", Page({}, "goes"));

  CrawlRun first;
  ASSERT_TRUE(first.Crawl(o, ContentOptions(history)));
  EXPECT_EQ(Lastmods(first, o), (std::map<std::string, std::string>{
                                    {"/", today}, {"/stay.html", kStayW3c}, {"/change.html", kChangeW3c}, {"/go.html", today}}));
  EXPECT_EQ(ChangesFile(first.results(), o),
            (std::vector<std::string>{"new / " + today, "new /change.html " + std::string(kChangeW3c),
                                      "new /go.html " + today, "new /stay.html " + std::string(kStayW3c)}));

  site.Set("/", Page({"/stay.html", "/change.html", "/new.html"}));
  site.Set("/change.html", Page({}, "second text", kChangeDate));  // the server's date did not move
  site.Set("/new.html", Page({}, "new", kChangeDate));
  CrawlRun second;
  ASSERT_TRUE(second.Crawl(o, ContentOptions(history)));
  EXPECT_EQ(Lastmods(second, o), (std::map<std::string, std::string>{{"/", today},
                                                                       {"/stay.html", kStayW3c},
                                                                       {"/change.html", today},
                                                                       {"/new.html", kChangeW3c}}));
  EXPECT_EQ(ChangesFile(second.results(), o),
            (std::vector<std::string>{"changed / " + today, "changed /change.html " + today,
                                      "new /new.html " + std::string(kChangeW3c), "gone /go.html " + today}));
  const ContentChanges counts = second.results().changes();
  EXPECT_EQ(counts.newCount, 1u);
  EXPECT_EQ(counts.changedCount, 2u);
  EXPECT_EQ(counts.goneCount, 1u);
  TempDir out;
  ASSERT_TRUE(second.results().SaveChangedSitemap(out.str(), false).ok());
  const ParsedSitemap changed = ParseSitemapXml(
      ReadFileBytes(out.path() / CSitemapXmlWriter::FileName(CrawlResults::ChangedSitemapPrefix(second.results().SiteName()), 0, false)));
  ASSERT_TRUE(changed.ok) << changed.problem;
  std::vector<std::string> locs;
  for (const ParsedSitemapUrl& url : changed.urls) locs.push_back(url.loc.substr(o.size()) + " " + url.lastmod);
  EXPECT_EQ(locs, (std::vector<std::string>{"/ " + today, "/change.html " + today, "/new.html " + std::string(kChangeW3c)}));

  // Nothing changed since: no rows, and every date stays.
  CrawlRun third;
  ASSERT_TRUE(third.Crawl(o, ContentOptions(history)));
  EXPECT_EQ(Lastmods(third, o), Lastmods(second, o));
  EXPECT_TRUE(ChangesFile(third.results(), o).empty());
}

// A history whose files are junk is moved aside with a notice; the crawl dates its pages as on
// first sight and the next crawl goes on from the new history.
TEST(PageHistoryTest, ADamagedHistoryIsSetAsideWithANoticeAndBegunAfresh) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  TempDir history;
  site.Set("/", Page({"/a.html"}));
  site.Set("/a.html", Page({}, "a", kStayDate));
  CrawlRun first;
  ASSERT_TRUE(first.Crawl(o, ContentOptions(history)));
  std::vector<fs::path> folders(fs::directory_iterator(history.path()), fs::directory_iterator());
  ASSERT_EQ(folders.size(), 1u);
  for (const auto& file : fs::directory_iterator(folders[0])) std::ofstream(file.path(), std::ios::trunc) << "junk\n";

  CrawlRun second;
  ASSERT_TRUE(second.Crawl(o, ContentOptions(history)));
  const ContentChanges changes = second.results().changes();
  EXPECT_EQ(changes.notice.kind, HistoryNotice::Kind::SetAside) << changes.notice.detail;
  EXPECT_TRUE(fs::is_directory(changes.notice.asidePath)) << changes.notice.asidePath;
  EXPECT_EQ(changes.newCount, 2u);
  EXPECT_EQ(Lastmods(second, o).at("/a.html"), kStayW3c);

  CrawlRun third;
  ASSERT_TRUE(third.Crawl(o, ContentOptions(history)));
  EXPECT_EQ(third.results().changes().notice.kind, HistoryNotice::Kind::None);
  EXPECT_TRUE(ChangesFile(third.results(), o).empty());
}

// The history's write at the crawl's end failing (a full disk) is offered with leveldb's words,
// beside the counts: the next crawl would otherwise judge against stale dates unawares.
TEST(PageHistoryTest, AHistoryWhoseFinalWriteFailsNamesTheCause) {
  TempDir history;
  const SiteOrigin origin{"http", "example.test", ""};
  // "code|message" of the write's failure after 400 new pages.
  auto crawlAndClose = [&] {
    ContentDating dating(LastmodSource::Content, history.str());
    dating.Open(origin);
    const FetchedPage page{0, "HTTP/1.1 200 OK\r\n\r\n", ""};
    for (int i = 0; i < 400; ++i) {
      PageResult result;
      const std::string path = "/articles/2026/" + std::to_string(i) + ".html";
      dating.DateFromSource(path, page, dating.HashOf(path), result);
    }
    dating.Close(true);
    const ContentChanges changes = dating.Changes();
    return std::string(StatusCodeName(changes.notice.writeFailure.code())) + "|" +
           changes.notice.writeFailure.message() + "|" + std::to_string(changes.newCount);
  };
  // The history opens within the limit; 400 records do not fit.
  const LimitedRun full = RunWithFileSizeLimit(8192, crawlAndClose);
  ASSERT_TRUE(full.finished);
  EXPECT_EQ(full.report.substr(0, full.report.find('|')), "DbWrite") << full.report;
  EXPECT_NE(full.report.find("IO error"), std::string::npos) << full.report;
  EXPECT_NE(full.report.find("|400"), std::string::npos) << full.report;

  fs::remove_all(history.path() / "example.test");
  EXPECT_EQ(crawlAndClose(), "Ok||400");
}

// Stopped part way and resumed, the crawl ends with the changes an unbroken crawl finds: the
// pages judged before the stop keep their verdicts.
TEST(PageHistoryTest, AResumedCrawlGoesOnWithTheHistoryAndNamesEveryChangeOnce) {
  constexpr int kPages = 60;
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  TempDir history, journal;
  auto serve = [&](const std::string& version) {
    std::vector<std::string> links;
    for (int i = 0; i < kPages; ++i) links.push_back("/p" + std::to_string(i) + ".html");
    site.Set("/", Page(links));
    // Every third page changes between versions.
    for (int i = 0; i < kPages; ++i)
      site.Set("/p" + std::to_string(i) + ".html", Page({}, i % 3 == 0 ? version : "same", kStayDate));
  };
  serve("one");
  CrawlRun first;
  ASSERT_TRUE(first.Crawl(o, ContentOptions(history)));

  serve("two");
  CrawlRun::Options options = ContentOptions(history);
  options.threadCount = 2;
  // Paced, so the crawl is still running when its first portion comes and Stop is pressed.
  options.rules.minIntervalMs = 40;
  options.journalPath = (journal.path() / "j").string();
  CrawlRun stopped;
  stopped.Start(o, options);
  ASSERT_NE(stopped.session, nullptr);
  while (!stopped.finished) {
    stopped.Pump();
    if (!stopped.entries.empty()) stopped.session->Stop();
  }
  ASSERT_TRUE(stopped.session->ThreadEnded(std::chrono::seconds(30)));
  ASSERT_EQ(stopped.session->outcome(), rc::kStopped);

  options.resume = true;
  CrawlRun resumed;
  ASSERT_TRUE(resumed.Crawl(o, options));
  ASSERT_TRUE(resumed.session->params().resume);
  std::set<std::string> changed;
  for (const std::string& row : ChangesFile(resumed.results(), o)) changed.insert(row.substr(0, row.rfind(' ')));
  std::set<std::string> expected;
  for (int i = 0; i < kPages; i += 3) expected.insert("changed /p" + std::to_string(i) + ".html");
  EXPECT_EQ(changed, expected);
  for (const auto& [path, date] : Lastmods(resumed, o))
    if (path != "/") EXPECT_EQ(date, std::stoi(path.substr(2)) % 3 == 0 ? LocalIsoDate() : kStayW3c) << path;
}

// A Last-Modified that is malformed or more than a day ahead is no date: on first sight the page
// takes the crawl's date, and the crawl goes on.
TEST(PageHistoryTest, AnUntrustworthyLastModifiedIsIgnoredOnFirstSight) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  TempDir history;
  site.Set("/", Page({"/future.html", "/junk.html"}));
  site.Set("/future.html", Page({}, "f", "Fri, 01 Jan 2100 00:00:00 GMT"));
  site.Set("/junk.html", Page({}, "j", "the day before yesterday"));
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(o, ContentOptions(history)));
  const std::string today = LocalIsoDate();
  EXPECT_EQ(Lastmods(run, o),
            (std::map<std::string, std::string>{{"/", today}, {"/future.html", today}, {"/junk.html", today}}));
}

TEST(PageHistoryTest, SiteFoldersAreOneWordPerHostAndPortAndHashesFollowEveryByte) {
  EXPECT_EQ(PageHistory::SiteFolder("db/history", "example.com", ""), "db/history/example.com");
  EXPECT_EQ(PageHistory::SiteFolder("db/history", "[::1]", ":8080"), "db/history/--1_8080");
  EXPECT_EQ(PageHistory::HashOf("abc").size(), 16u);
  EXPECT_NE(PageHistory::HashOf("abc"), PageHistory::HashOf("abd"));
  EXPECT_EQ(PageHistory::HashOf("abc"), PageHistory::HashOf(std::string("abc")));
}
