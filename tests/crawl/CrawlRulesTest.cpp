#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "CrawlTestSite.h"
#include "crawl/CrawlStatus.h"
#include "texts/CrawlStatusText.h"
#include "support/StaticSite.h"

namespace {

using Clock = std::chrono::steady_clock;

Resource HtmlPage(const std::vector<std::string>& links, const std::string& head = "") {
  std::string html = "<html><head><title>t</title>" + head + "</head><body>";
  for (const std::string& link : links) html += "<p><a href=\"" + link + "\">x</a></p>";
  return Resource{200, "text/html", html + "</body></html>", ""};
}

Resource Text(int status, const std::string& body) { return Resource{status, "text/plain", body, ""}; }

std::set<std::string> Requested(const StaticSite& site) {
  const std::vector<std::string> targets = site.targets();
  return {targets.begin(), targets.end()};
}

std::set<std::string> Listed(const CrawlRun& run) {
  std::set<std::string> paths;
  for (const CrawlPortion& p : run.portions) paths.insert(p.okPaths.begin(), p.okPaths.end());
  return paths;
}

CrawlRun::Options Obeying(const std::string& userAgent = "") {
  CrawlRun::Options options;
  options.rules.obeyRobots = true;
  options.rules.userAgent = userAgent;
  return options;
}

const char kRobots[] =
    "# a comment\n"
    "User-agent: otherbot\n"
    "Disallow: /\n"
    "\n"
    "User-agent: *\n"
    "Disallow: /private/\n"
    "Allow: /private/open.html\n"
    "Disallow: /*.php$\n"
    "Disallow: /tmp\n";

class RobotsSite : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(site_.Start());
    site_.Set("/robots.txt", Text(200, kRobots));
    site_.Set("/", HtmlPage({"/public.html", "/private/secret.html", "/private/open.html", "/page.php",
                             "/page.php?x=1", "/tmp/a.html", "/tmpfile.html"}));
    for (const char* path : {"/public.html", "/private/secret.html", "/private/open.html", "/page.php",
                             "/tmp/a.html", "/tmpfile.html"})
      site_.Set(path, HtmlPage({}));
  }
  StaticSite site_;
};

TEST_F(RobotsSite, TheGroupForEveryoneWithItsLongestMatchDecidesAndRefusedPagesAreNeverRequested) {
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site_.origin(), Obeying("VeltroSitemap/0.9")));
  EXPECT_EQ(Requested(site_),
            (std::set<std::string>{"/robots.txt", "/", "/public.html", "/private/open.html", "/page.php?x=1"}));
  EXPECT_EQ(site_.count("/robots.txt"), 1u);
  EXPECT_EQ(site_.targets().front(), "/robots.txt");  // before the root
  EXPECT_EQ(Listed(run), (std::set<std::string>{"/", "/public.html", "/private/open.html", "/page.php?x=1"}));
  const CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.notAllowed, 4);
  EXPECT_EQ(c.failed, 0);
  EXPECT_EQ(FormatCounters(c), "共找到8条网址 正在爬0条 爬过4条 等待爬的0条 不允许爬的4条 排除掉0条");
}

TEST_F(RobotsSite, AGroupNamingOurAgentReplacesTheOneForEveryone) {
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site_.origin(), Obeying("OtherBot/2.1 (+http://example.org)")));
  EXPECT_EQ(Requested(site_), (std::set<std::string>{"/robots.txt"}));
  EXPECT_TRUE(Listed(run).empty());
  EXPECT_EQ(run.control->Counters().notAllowed, 1);
  for (const std::string& agent : site_.userAgents()) EXPECT_EQ(agent, "OtherBot/2.1 (+http://example.org)");
}

TEST_F(RobotsSite, WithTheRuleOffRobotsTxtIsNeitherAskedForNorObeyed) {
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site_.origin(), {}));
  EXPECT_EQ(site_.count("/robots.txt"), 0u);
  EXPECT_EQ(site_.count("/private/secret.html"), 1u);
  EXPECT_EQ(run.control->Counters().crawledOk, 8);
}

TEST(CrawlRulesTest, AMissingRobotsTxtAllowsEverythingAndAServerErrorNothing) {
  for (int status : {404, 410, 500, 503}) {
    StaticSite site;
    ASSERT_TRUE(site.Start());
    if (status != 404) site.Set("/robots.txt", Text(status, "User-agent: *\nAllow: /\n"));
    site.Set("/", HtmlPage({"/a.html"}));
    site.Set("/a.html", HtmlPage({}));
    CrawlRun run;
    ASSERT_TRUE(run.Crawl(site.origin(), Obeying()));
    if (status < 500) {
      EXPECT_EQ(Requested(site), (std::set<std::string>{"/robots.txt", "/", "/a.html"})) << status;
    } else {
      EXPECT_EQ(Requested(site), (std::set<std::string>{"/robots.txt"})) << status;
      EXPECT_EQ(run.control->Counters().notAllowed, 1) << status;
    }
  }
}

// Crawls a root linking six pages with eight workers; checks that the requests the server
// saw (robots.txt included) were at least intervalMs apart. The turns are kept at the
// client, so a busy machine may bring two arrivals closer: each gap gets room, the whole
// run does not.
void ExpectSpacedRequests(const CrawlRun::Options& options, const std::string& robots, long intervalMs) {
  std::vector<std::string> links;
  for (int i = 0; i < 6; ++i) links.push_back("/p" + std::to_string(i) + ".html");
  StaticSite site;
  ASSERT_TRUE(site.Start());
  if (!robots.empty()) site.Set("/robots.txt", Text(200, robots));
  site.Set("/", HtmlPage(links));
  for (const std::string& link : links) site.Set(link, HtmlPage({}));
  CrawlRun run;
  CrawlRun::Options eight = options;
  eight.threadCount = 8;
  ASSERT_TRUE(run.Crawl(site.origin(), eight));
  const std::vector<Clock::time_point> times = site.arrivals();
  ASSERT_EQ(times.size(), robots.empty() ? 7u : 8u);
  for (size_t i = 1; i < times.size(); ++i)
    EXPECT_GE(times[i] - times[i - 1], std::chrono::milliseconds(intervalMs / 2)) << "request " << i;
  EXPECT_GE(times.back() - times.front(), std::chrono::milliseconds(intervalMs * (times.size() - 1) * 95 / 100));
}

TEST(CrawlRulesTest, ACrawlDelayAndTheMinimumIntervalSpaceRequestsOverAllWorkers) {
  CrawlRun::Options interval;
  interval.rules.minIntervalMs = 120;
  ExpectSpacedRequests(interval, "", 120);
  CrawlRun::Options delayed = Obeying();
  delayed.rules.minIntervalMs = 20;  // the site asks for more
  ExpectSpacedRequests(delayed, "User-agent: *\nCrawl-delay: 0.15\nDisallow:\n", 150);
}

TEST(CrawlRulesTest, MetaRobotsAndRelNofollowAreObeyedOnlyWithTheRule) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html",
                         "<html><body><a href=\"/noindex.html\">1</a><a href=\"/nofollow.html\">2</a>"
                         "<a rel=\"external NoFollow\" href=\"/rel-nofollow.html\">3</a>"
                         "<a href=\"/both.html\">4</a></body></html>",
                         ""});
  site.Set("/noindex.html", HtmlPage({"/from-noindex.html"}, "<meta name=\"ROBOTS\" content=\"NOINDEX, follow\">"));
  site.Set("/nofollow.html", HtmlPage({"/from-nofollow.html"}, "<meta name=\"robots\" content=\"nofollow\">"));
  site.Set("/both.html", HtmlPage({"/from-both.html"}, "<meta name=\"veltrositemap\" content=\"none\">"));
  for (const char* leaf : {"/rel-nofollow.html", "/from-noindex.html", "/from-nofollow.html", "/from-both.html"})
    site.Set(leaf, HtmlPage({}));

  CrawlRun obeying;
  ASSERT_TRUE(obeying.Crawl(site.origin(), Obeying("VeltroSitemap/0.9")));
  EXPECT_EQ(Requested(site), (std::set<std::string>{"/", "/robots.txt", "/noindex.html", "/nofollow.html",
                                                    "/both.html", "/from-noindex.html"}));
  EXPECT_EQ(Listed(obeying), (std::set<std::string>{"/", "/nofollow.html", "/from-noindex.html"}));
  const CrawlCounters c = obeying.control->Counters();
  EXPECT_EQ(c.crawledOk, 5);
  EXPECT_EQ(c.excluded, 2);  // the two noindex pages

  // Without the rule every page is followed and listed.
  CrawlRun plain;
  ASSERT_TRUE(plain.Crawl(site.origin(), {}));
  EXPECT_EQ(Listed(plain).size(), 8u);
}

TEST(CrawlRulesTest, LastModifiedBecomesTheLastmodOnlyWhenAsked) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", HtmlPage({"/imf.html", "/rfc850.html", "/asctime.html", "/bad.html", "/none.html"}));
  auto dated = [](const std::string& date) {
    Resource r = HtmlPage({});
    r.headers["Last-Modified"] = date;
    return r;
  };
  site.Set("/imf.html", dated("Sun, 06 Nov 1994 08:49:37 GMT"));
  site.Set("/rfc850.html", dated("Sunday, 06-Nov-94 08:49:37 GMT"));
  site.Set("/asctime.html", dated("Sun Nov  6 08:49:37 1994"));
  site.Set("/bad.html", dated("yesterday, around noon"));
  site.Set("/none.html", HtmlPage({}));

  CrawlRun run;
  CrawlRun::Options options;
  options.sitemap.lastmodFrom = LastmodSource::Header;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  std::map<std::string, std::string> lastmods;
  for (const CrawlPortion& p : run.portions) lastmods.insert(p.lastmods.begin(), p.lastmods.end());
  const std::string o = site.origin();
  EXPECT_EQ(lastmods, (std::map<std::string, std::string>{{o + "/imf.html", "1994-11-06T08:49:37+00:00"},
                                                          {o + "/rfc850.html", "1994-11-06T08:49:37+00:00"},
                                                          {o + "/asctime.html", "1994-11-06T08:49:37+00:00"}}));

  CrawlRun off;
  ASSERT_TRUE(off.Crawl(site.origin(), {}));
  for (const CrawlPortion& p : off.portions) EXPECT_TRUE(p.lastmods.empty());
}

}  // namespace
