#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "CrawlTestSite.h"
#include "common/ResultCodes.h"
#include "crawl/CrawlStatus.h"
#include "crawl/ResultBatcher.h"
#include "texts/CrawlStatusText.h"
#include "output/CSitemapXmlWriter.h"
#include "web/HttpGlobal.h"

namespace {

class HttpEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { HttpGlobalInit(); }
  void TearDown() override { HttpGlobalCleanup(); }
};
const auto* const kHttpEnvironment = ::testing::AddGlobalTestEnvironment(new HttpEnvironment);

using Entry = std::pair<std::string, std::string>;

std::set<std::string> PathsOf(const std::vector<Entry>& entries) {
  std::set<std::string> paths;
  for (const Entry& e : entries) paths.insert(e.first);
  return paths;
}

TEST(CrawlRunTest, RootThatFailsIsHandedOverAsOneEntryThenTheCrawlFinishes) {
  TestSite site;
  site.Add("/", {"/a.html"}, 404);
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin() + "/", {}));

  EXPECT_EQ(run.messages, (std::vector<PortionHandOver::Event>{PortionHandOver::Event::PortionsWaiting, PortionHandOver::Event::Finished}));
  EXPECT_EQ(run.entries, (std::vector<Entry>{{"/", "404"}}));
  ASSERT_EQ(run.portions.size(), 1u);
  EXPECT_EQ(FailureTexts(run.portions[0]), (std::vector<Entry>{{"/", "404"}}));
  EXPECT_TRUE(run.portions[0].okAddresses.empty());
  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.failed, 1);
  EXPECT_EQ(c.crawling, 0);
  EXPECT_EQ(c.crawledOk, 0);
  EXPECT_EQ(FoundCount(c), 1);
  EXPECT_EQ(site.arrivalCount("/a.html"), 0u);
  EXPECT_EQ(run.session->state(), 2);
}

TEST(CrawlRunTest, MaxDepthZeroFetchesOnlyTheRootAndCountsEveryLinkTooDeep) {
  TestSite site;
  site.Add("/", {"/a.html", "/b.html", "c.html"});
  site.Add("/a.html", {});
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options options;
  options.maxDepth = 0;
  ASSERT_TRUE(run.Crawl(site.origin(), options));

  EXPECT_EQ(site.arrivals(), (std::vector<std::string>{"/"}));
  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.tooDeep, 3);
  EXPECT_EQ(c.waiting, 0);
  EXPECT_EQ(c.crawledOk, 1);
  EXPECT_EQ(ProgressPosition(c), 100);
  EXPECT_EQ(run.entries, (std::vector<Entry>{{"/", "200"}}));
}

TEST(CrawlRunTest, ThreadCountZeroCrawlsTheWholeSiteOneAddressAtATime) {
  TestSite site;
  site.Add("/", {"/1", "/2", "/3"});
  site.Add("/1", {"/1/a", "/1/b"});
  site.Add("/2", {"/2/a"});
  site.Add("/3", {});
  site.Add("/1/a", {});
  site.Add("/1/b", {});
  site.Add("/2/a", {});
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options options;
  options.threadCount = 0;
  ASSERT_TRUE(run.Crawl(site.origin(), options));

  EXPECT_EQ(site.arrivals().size(), 7u);
  EXPECT_EQ(site.maxInFlight(), 1);
  EXPECT_EQ(PathsOf(run.entries).size(), 7u);
  EXPECT_EQ(run.control->Counters().crawledOk, 7);
}

TEST(CrawlRunTest, AdmissionOfForbiddenExcludedTooDeepAndRepeatedLinks) {
  TestSite site;
  // /A.html differs from /a.html only in case: another page, as on nearly every server.
  site.Add("/", {"/a.html", "/A.html", "/b.html", "/setup.EXE", "/private/p.html", ""});
  site.Add("/A.html", {"/a.html"});
  site.Add("/a.html", {"/deep.html", "/b.html", "/private/deep.html"});
  site.Add("/b.html", {"/a.html"});
  site.Add("/private/p.html", {});
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options options;
  options.maxDepth = 1;
  options.forbidden = {".exe", ".zip"};
  options.exclude = "*private*";
  ASSERT_TRUE(run.Crawl(site.origin() + "/", options));

  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.crawledOk, 5);  // /, /a.html, /A.html, /b.html and the excluded /private/p.html
  EXPECT_EQ(c.failed, 0);
  EXPECT_EQ(c.notAllowed, 1);
  EXPECT_EQ(c.tooDeep, 2);
  EXPECT_EQ(c.excluded, 2);  // /private/p.html and the too deep /private/deep.html
  EXPECT_EQ(c.waiting, 0);
  EXPECT_EQ(c.crawling, 0);
  EXPECT_EQ(FormatCounters(c), "共找到8条网址 正在爬0条 爬过5条 等待爬的0条 不允许爬的3条 排除掉2条");

  EXPECT_EQ(site.arrivalCount("/setup.EXE"), 0u);
  EXPECT_EQ(site.arrivalCount("/deep.html"), 0u);
  EXPECT_EQ(site.arrivalCount("/private/deep.html"), 0u);
  EXPECT_EQ(site.arrivalCount("/A.html"), 1u);
  EXPECT_EQ(site.arrivalCount("/a.html"), 1u);
  EXPECT_EQ(site.arrivalCount("/b.html"), 1u);
  EXPECT_EQ(site.arrivalCount("/private/p.html"), 1u);
  EXPECT_EQ(site.arrivals().size(), 5u);

  // The excluded page was fetched but stays out of the results.
  std::vector<Entry> sorted = run.entries;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<Entry>{{"/", "200"}, {"/A.html", "200"}, {"/a.html", "200"}, {"/b.html", "200"}}));
  CrawlStores& stores = run.control->data().ledger.stores();
  EXPECT_EQ(stores.memory().GetState("/setup.EXE"), NotAllowed);
  EXPECT_EQ(stores.memory().GetState("/deep.html"), NotAllowed);
  EXPECT_EQ(stores.memory().GetState("/private/p.html"), Crawled);
}

TEST(CrawlRunTest, StopEndsTheRunningPagesStartsNoNewOneAndFinishes) {
  // The pages are answered only once the test is over (declared before the site, whose
  // answers read it until they end).
  std::atomic<bool> over{false};
  TestSite site;
  site.Add("/", {"/slow/1", "/slow/2", "/slow/3", "/slow/4"});
  for (int i = 1; i <= 4; ++i) site.Add("/slow/" + std::to_string(i), {"/never-" + std::to_string(i)});
  site.SetBeforeAnswer([&over](const std::string& path) {
    if (path.rfind("/slow/", 0) != 0) return;
    for (int i = 0; i < 4000 && !over; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  run.Start(site.origin(), {});
  auto inFlight = [&site]() {
    size_t n = 0;
    for (const std::string& path : site.arrivals()) n += path.rfind("/slow/", 0) == 0;
    return n;
  };
  // Stop is pressed while all four fetches wait for their answers.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (inFlight() < 4 && std::chrono::steady_clock::now() < limit) run.Pump();
  ASSERT_EQ(inFlight(), 4u);
  EXPECT_EQ(run.control->Counters().crawling, 4);
  const auto pressed = std::chrono::steady_clock::now();
  run.session->Stop();
  // Stop itself does not wait for the crawl: it runs on the window's thread.
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(100));
  ASSERT_TRUE(run.RunUntilFinished());
  // The running transfers were ended, not waited for (they are answered only after 20 s).
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::seconds(5));

  EXPECT_EQ(inFlight(), 4u);
  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.crawling, 0);  // nothing shows as crawling once the crawl has stopped
  EXPECT_EQ(c.waiting, 4);   // the pages cut short wait again
  EXPECT_EQ(c.crawledOk, 1);
  EXPECT_EQ(run.entries, (std::vector<Entry>{{"/", "200"}}));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(site.arrivalCount("/never-" + std::to_string(i)), 0u);
  EXPECT_EQ(run.session->state(), 2);
  EXPECT_EQ(run.CountMessages(PortionHandOver::Event::Finished), 1u);
  over = true;
}

TEST(CrawlRunTest, TwoCrawlsAtOnceKeepTheirOwnResultsAndStoppingOneLeavesTheOtherRunning) {
  // What the sites' answers wait on outlives the sites.
  std::atomic<bool> firstEnded{false};  // the second site's slow page waits for the first crawl's end
  std::atomic<bool> stopped{false};     // the first site holds a page until the first crawl is stopped
  TestSite first;
  first.Add("/", {"/one.html", "/shared.html"});
  first.Add("/one.html", {});
  first.Add("/shared.html", {});
  TestSite second;
  second.Add("/", {"/two.html", "/shared.html", "/slow.html"});
  second.Add("/two.html", {});
  second.Add("/shared.html", {});
  second.Add("/slow.html", {"/late.html"});
  second.Add("/late.html", {});
  second.SetBeforeAnswer([&](const std::string& path) {
    if (path != "/slow.html") return;
    for (int i = 0; i < 2000 && !firstEnded; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  // So Stop reaches a running crawl.
  first.SetBeforeAnswer([&](const std::string& path) {
    if (path != "/one.html") return;
    for (int i = 0; i < 2000 && !stopped; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(second.Start());

  CrawlRun a;
  CrawlRun b;
  a.Start(first.origin(), {});
  b.Start(second.origin(), {});
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (first.arrivalCount("/one.html") == 0 && std::chrono::steady_clock::now() < limit) a.Pump();
  a.session->Stop();
  stopped = true;
  ASSERT_TRUE(a.RunUntilFinished());
  EXPECT_EQ(a.session->outcome(), rc::kStopped);
  EXPECT_FALSE(b.session->finished());  // the stop was the first crawl's alone
  firstEnded = true;
  ASSERT_TRUE(b.RunUntilFinished());
  EXPECT_EQ(b.session->outcome(), rc::kOk);

  for (const std::string& address : a.results().FetchedAddresses())
    EXPECT_EQ(address.rfind(first.origin(), 0), 0u) << address;
  std::vector<std::string> bFetched = b.results().FetchedAddresses();
  std::sort(bFetched.begin(), bFetched.end());
  const std::string o = second.origin();
  EXPECT_EQ(bFetched, (std::vector<std::string>{o + "/", o + "/late.html", o + "/shared.html", o + "/slow.html",
                                                o + "/two.html"}));
  EXPECT_EQ(b.control->Counters().crawledOk, 5);
  std::string sitemap;
  ASSERT_TRUE(b.results().sitemap()->PrintCurrent(sitemap).ok());
  EXPECT_EQ(sitemap.find(first.origin()), std::string::npos);
}

// The pages come back in the opposite order the second time (and in several portions), yet
// both crawls end with the same sitemap: its documents are written in byte order at the end.
TEST(CrawlRunTest, TwoCrawlsOfAnUnchangedSiteGiveTheSameSitemapWhateverOrderThePagesCameIn) {
  std::vector<std::string> links;
  for (int i = 0; i < 12; ++i) links.push_back("/p" + std::to_string(i) + ".html");
  TestSite site(16);  // every page answered at once
  site.Add("/", links);
  for (const std::string& link : links) site.Add(link, {});
  std::atomic<bool> reversed{false};
  site.SetBeforeAnswer([&reversed](const std::string& path) {
    if (path == "/") return;
    const int n = std::stoi(path.substr(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(25 * (reversed ? 11 - n : n)));
  });
  ASSERT_TRUE(site.Start());
  CrawlRun::Options options;
  options.threadCount = 12;
  std::string sitemaps[2];
  std::vector<std::string> orders[2];
  for (int run = 0; run < 2; ++run) {
    reversed = run == 1;
    CrawlRun crawl;
    ASSERT_TRUE(crawl.Crawl(site.origin(), options));
    orders[run] = crawl.results().FetchedAddresses();
    ASSERT_TRUE(crawl.results().sitemap()->PrintCurrent(sitemaps[run]).ok());
  }
  EXPECT_NE(orders[0], orders[1]);  // the lists keep the fetch order
  EXPECT_EQ(sitemaps[0], sitemaps[1]);
  EXPECT_LT(sitemaps[0].find("/p0.html"), sitemaps[0].find("/p11.html"));
}

TEST(CrawlRunTest, ResultsComeInFetchOrderWithTheRootFirst) {
  TestSite site;
  site.Add("/", {"/c.html", "/a.html", "/b.html"});
  site.Add("/a.html", {"/a/deeper.html"});
  site.Add("/b.html", {});
  site.Add("/c.html", {});
  site.Add("/a/deeper.html", {});
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options one;
  one.threadCount = 1;
  ASSERT_TRUE(run.Crawl(site.origin(), one));
  std::vector<std::string> fetched;
  for (const std::string& address : run.results().FetchedAddresses()) fetched.push_back(address.substr(site.origin().size()));
  // One worker fetches in the order the server saw the requests.
  EXPECT_EQ(fetched, site.arrivals());
  ASSERT_FALSE(fetched.empty());
  EXPECT_EQ(fetched.front(), "/");
  std::vector<std::string> handedOver;
  for (const Entry& entry : run.entries) handedOver.push_back(entry.first);
  EXPECT_EQ(handedOver, fetched);
}

TEST(CrawlRunTest, StartAddressNamingAnotherPathStillCrawlsFromTheRoot) {
  TestSite site;
  site.Add("/", {"/dir/page.html"});
  site.Add("/dir/page.html", {});
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin() + "/dir/page.html", {}));
  std::vector<std::string> log = site.arrivals();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "/");
  EXPECT_EQ(site.arrivalCount("/dir/page.html"), 1u);
}

TEST(CrawlRunTest, StartAddressWithoutAHostCrawlsNothingButFinishes) {
  CrawlRun run;
  ASSERT_TRUE(run.Crawl("not an address", {}));
  EXPECT_EQ(run.messages, (std::vector<PortionHandOver::Event>{PortionHandOver::Event::Finished}));
  EXPECT_TRUE(run.control->Host().empty());
}

// Pages /p/1 .. /p/4999 below the root; page n links to 10n+1 .. 10n+10.
bool TreePage(const std::string& path, TestSite::Page& page) {
  int n = 0;
  if (path != "/") {
    if (path.rfind("/p/", 0) != 0) return false;
    n = std::stoi(path.substr(3));
    if (n < 1 || n > 4999) return false;
  }
  std::vector<std::string> links;
  for (int k = 10 * n + 1; k <= 10 * n + 10 && k <= 4999; ++k) links.push_back("/p/" + std::to_string(k));
  page.html = PageWithLinks(links);
  return true;
}

TEST(CrawlRunTest, EveryPageOfAFiveThousandPageSiteArrivesExactlyOnce) {
  TestSite site;
  site.SetGenerator(TreePage);
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options options;
  options.maxDepth = 10;
  // The loopback server's listen queue holds 5 connections; more at once would only add
  // connect retries.
  options.threadCount = 5;
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  const auto took = std::chrono::steady_clock::now() - started;

  EXPECT_EQ(run.entries.size(), 5000u);
  EXPECT_EQ(PathsOf(run.entries).size(), 5000u);
  EXPECT_TRUE(std::all_of(run.entries.begin(), run.entries.end(), [](const Entry& e) { return e.second == "200"; }));
  EXPECT_GT(run.portions.size(), 5u);
  // Pages are handed over in portions, not one by one: a portion goes when more than the
  // threshold waits, or when the interval has passed since the last one (a slow machine
  // sees more of those, never a portion per page), and once more at the end.
  const size_t byCount = 5000 / (ResultBatcher::kThreshold + 1);
  const size_t byTime = static_cast<size_t>(took / ResultBatcher::kInterval);
  EXPECT_LE(run.portions.size(), byCount + byTime + 1) << "in " << std::chrono::duration<double>(took).count() << " s";
  EXPECT_EQ(site.arrivals().size(), 5000u);
  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.crawledOk, 5000);
  EXPECT_EQ(c.waiting, 0);
  EXPECT_EQ(c.crawling, 0);
}

}  // namespace
