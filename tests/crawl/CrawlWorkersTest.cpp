#include <gtest/gtest.h>

#include <map>
#include <set>

#include "CrawlTestSite.h"
#include "crawl/CrawlStatus.h"
#include "support/StaticSite.h"

namespace {

using Clock = std::chrono::steady_clock;

Resource HtmlPage(const std::vector<std::string>& links, std::chrono::milliseconds delay = {}) {
  std::string html = "<html><body>";
  for (const std::string& link : links) html += "<a href=\"" + link + "\">x</a>";
  Resource r{200, "text/html", html + "</body></html>", ""};
  r.delay = delay;
  return r;
}

// A root linking count pages, each answering after delay.
std::vector<std::string> FillFlatSite(StaticSite& site, int count, std::chrono::milliseconds delay) {
  std::vector<std::string> links;
  for (int i = 0; i < count; ++i) links.push_back("/p" + std::to_string(i) + ".html");
  site.Set("/", HtmlPage(links));
  for (const std::string& link : links) site.Set(link, HtmlPage({"/"}, delay));
  return links;
}

void ExpectEachRequestedOnce(const StaticSite& site, size_t pages) {
  std::map<std::string, int> seen;
  for (const std::string& target : site.targets()) ++seen[target];
  EXPECT_EQ(seen.size(), pages);
  for (const auto& [target, n] : seen) EXPECT_EQ(n, 1) << target;
}

TEST(CrawlWorkersTest, EachWorkerKeepsItsConnectionForAllItsPages) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  FillFlatSite(site, 80, std::chrono::milliseconds(0));
  CrawlRun run;
  CrawlRun::Options options;
  options.threadCount = 4;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  ExpectEachRequestedOnce(site, 81);
  // Four workers and the crawl thread's own request of the root.
  EXPECT_LE(site.connections(), 5u);
}

// Eight workers on pages over a MiB: they take turns at the large-page gate while the pages
// arrive, and the link at the end of each, past its first MiB, is still followed.
TEST(CrawlWorkersTest, PagesOverAMibTakeTurnsAsTheyArriveAndTheirLastLinksAreFollowed) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  std::vector<std::string> large;
  for (int i = 0; i < 8; ++i) {
    large.push_back("/large" + std::to_string(i) + ".html");
    Resource page = HtmlPage({});
    const std::string last = "<a href=\"/after" + std::to_string(i) + ".html\">x</a>";
    page.body.insert(page.body.find("</body>"), std::string(3 << 19, 'w') + last);
    site.Set(large.back(), page);
    site.Set("/after" + std::to_string(i) + ".html", HtmlPage({}));
  }
  site.Set("/", HtmlPage(large));
  CrawlRun run;
  CrawlRun::Options options;
  options.threadCount = 8;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  ExpectEachRequestedOnce(site, 17);
}

TEST(CrawlWorkersTest, APageThatTakesFiveSecondsHoldsUpNoOtherPage) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  std::vector<std::string> links = FillFlatSite(site, 40, std::chrono::milliseconds(20));
  links.insert(links.begin(), "/slow.html");
  site.Set("/", HtmlPage(links));
  site.Set("/slow.html", HtmlPage({}, std::chrono::seconds(5)));
  CrawlRun run;
  CrawlRun::Options options;
  options.threadCount = 4;
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  const Clock::duration whole = Clock::now() - start;

  ExpectEachRequestedOnce(site, 42);
  // Forty pages of 20 ms on the three other workers take well under a second; behind a
  // batch barrier they would have waited for the slow page.
  const std::vector<std::string> targets = site.targets();
  const std::vector<Clock::time_point> times = site.arrivals();
  Clock::time_point lastOther = start;
  for (size_t i = 0; i < targets.size(); ++i)
    if (targets[i] != "/slow.html") lastOther = std::max(lastOther, times[i]);
  EXPECT_LT(lastOther - start, std::chrono::seconds(3));
  EXPECT_GE(whole, std::chrono::milliseconds(4900));
  EXPECT_LT(whole, std::chrono::seconds(9));
  EXPECT_EQ(run.control->Counters().crawledOk, 42);
}

struct ThreadCase {
  int32_t threads;
  int most;  // at most this many answers at once
  int least;  // at least this many at some moment
};

class CrawlThreadCountTest : public ::testing::TestWithParam<ThreadCase> {};

TEST_P(CrawlThreadCountTest, TheThreadSettingIsTheNumberOfPagesFetchedAtOnce) {
  const ThreadCase& c = GetParam();
  StaticSite site("", 300);
  ASSERT_TRUE(site.Start());
  const int pages = c.threads > 8 ? 400 : 30;
  FillFlatSite(site, pages, std::chrono::milliseconds(c.threads > 8 ? 100 : 5));
  CrawlRun run;
  CrawlRun::Options options;
  options.threadCount = c.threads;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  for (const auto& entry : run.entries)
    if (entry.second != "200") ADD_FAILURE() << entry.first << " " << entry.second;
  ExpectEachRequestedOnce(site, static_cast<size_t>(pages) + 1);
  EXPECT_LE(site.mostAtOnce(), c.most);
  EXPECT_GE(site.mostAtOnce(), c.least);
  std::set<std::string> results;
  for (const auto& entry : run.entries) EXPECT_TRUE(results.insert(entry.first).second) << entry.first;
  EXPECT_EQ(results.size(), static_cast<size_t>(pages) + 1);
  const CrawlCounters counters = run.control->Counters();
  EXPECT_EQ(counters.crawling, 0);
  EXPECT_EQ(counters.waiting, 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, CrawlThreadCountTest,
                         ::testing::Values(ThreadCase{1, 1, 1}, ThreadCase{0, 1, 1}, ThreadCase{-3, 1, 1},
                                           ThreadCase{256, 256, 64}),
                         [](const ::testing::TestParamInfo<ThreadCase>& info) {
                           const int32_t t = info.param.threads;
                           return t < 0 ? "Negative" : "Threads" + std::to_string(t);
                         });

}  // namespace
