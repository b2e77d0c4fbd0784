#include <gtest/gtest.h>

#include <map>
#include <set>

#include "CrawlTestSite.h"
#include "crawl/CrawlStatus.h"
#include "support/HttpLibraryEnvironment.h"
#include "support/RealisticSite.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kHttpEnvironment =
    ::testing::AddGlobalTestEnvironment(new HttpLibraryEnvironment);

// What the main window was handed, portion by portion.
struct Shown {
  std::map<std::string, std::string> codes;  // path -> code
  std::multiset<std::string> urlList;        // the URL list page's addresses
  std::multiset<std::string> sitemap;        // the sitemap writer's addresses
  std::map<std::string, std::string> failures;
};

Shown Collect(const CrawlRun& run) {
  Shown shown;
  for (const CrawlPortion& p : run.portions) {
    for (const auto& [path, outcome] : p.entries) EXPECT_TRUE(shown.codes.emplace(path, outcome.Text()).second) << path;
    shown.urlList.insert(p.okAddresses.begin(), p.okAddresses.end());
    shown.sitemap.insert(p.sitemapAddresses.begin(), p.sitemapAddresses.end());
    for (auto& failure : FailureTexts(p)) shown.failures.insert(std::move(failure));
  }
  return shown;
}

std::multiset<std::string> Addresses(const std::string& origin, const std::set<std::string>& paths) {
  std::multiset<std::string> out;
  for (const std::string& path : paths) out.insert(origin + path);
  return out;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool HasDotSegment(const std::string& target) {
  const std::string path = target.substr(0, target.find('?'));
  return path.find("/./") != std::string::npos || path.find("/../") != std::string::npos || EndsWith(path, "/.") ||
         EndsWith(path, "/..");
}

TEST(RealSiteCrawlTest, EveryPageOfARealisticSiteIsFoundOnceAndNothingFalseFails) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const RealisticSiteResult expected = FillRealisticSite(site);
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin() + "/docs/intro.html", {}));
  const Shown shown = Collect(run);

  EXPECT_EQ(shown.urlList, Addresses(site.origin(), expected.successes()));
  EXPECT_EQ(shown.sitemap, Addresses(site.origin(), expected.successes()));
  EXPECT_EQ(shown.failures, expected.failures);

  std::map<std::string, size_t> requests;
  for (const std::string& target : site.targets()) ++requests[target];
  for (const auto& [target, n] : requests) {
    EXPECT_EQ(n, 1u) << target << " requested more than once";
    EXPECT_EQ(target.find('#'), std::string::npos) << target;
    EXPECT_FALSE(HasDotSegment(target)) << target;
  }
  std::set<std::string> asked;
  for (const auto& entry : requests) asked.insert(entry.first);
  std::set<std::string> wanted = expected.successes();
  for (const auto& failure : expected.failures) wanted.insert(failure.first);
  EXPECT_EQ(asked, wanted);
  // Neither the other site, nor a link a stylesheet seems to hold, nor a page without the port.
  EXPECT_EQ(site.count("/from-css.html"), 0u);
  EXPECT_EQ(site.count("/noport.html"), 0u);

  const CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.crawledOk, static_cast<int32_t>(expected.successes().size()));
  EXPECT_EQ(c.failed, 2);
  EXPECT_EQ(c.waiting, 0);
  EXPECT_EQ(c.crawling, 0);
}

TEST(RealSiteCrawlTest, ARootRedirectingToAFolderMakesThatFolderTheFirstPage) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  Resource moved;
  moved.status = 301;
  moved.location = "/home/";
  site.Set("/", moved);
  Resource home;
  home.body = PageWithLinks({"../", "page.html", "/", "index.html#top"});
  site.Set("/home/", home);
  site.Set("/home/page.html", Resource{200, "text/html", PageWithLinks({"./"}), ""});
  site.Set("/home/index.html", Resource{200, "text/html", PageWithLinks({}), ""});
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), {}));
  const Shown shown = Collect(run);

  EXPECT_EQ(shown.sitemap, Addresses(site.origin(), {"/home/", "/home/index.html", "/home/page.html"}));
  // The redirecting root is a page of the site that answered 301: listed once, asked for once.
  EXPECT_EQ(shown.failures, (std::map<std::string, std::string>{{"/", "301"}}));
  EXPECT_EQ(site.count("/"), 1u);
  EXPECT_EQ(site.count("/home/"), 1u);
  EXPECT_EQ(site.targets().size(), 4u);
}

TEST(RealSiteCrawlTest, ARootRedirectingFromHttpToHttpsMovesTheWholeCrawlThere) {
  TempDir certs;
  StaticSite secure(certs.str());
  if (!secure.Start()) GTEST_SKIP() << "no self-signed HTTPS server could be started";
  secure.Set("/", Resource{200, "text/html", PageWithLinks({"a.html", "http://127.0.0.1/x.html"}), ""});
  secure.Set("/a.html", Resource{200, "text/html", PageWithLinks({"/"}), ""});
  StaticSite plain;
  ASSERT_TRUE(plain.Start());
  plain.Set("/", Resource{301, "text/html", "", secure.origin() + "/"});

  CrawlRun run;
  CrawlRun::Options options;
  options.httpOptions.emplace();
  options.httpOptions->verifyTls = false;
  ASSERT_TRUE(run.Crawl(plain.origin() + "/", options));
  const Shown shown = Collect(run);

  EXPECT_EQ(shown.sitemap, Addresses(secure.origin(), {"/", "/a.html"}));
  EXPECT_EQ(shown.urlList, Addresses(secure.origin(), {"/", "/a.html"}));
  // The plain address is another origin's: not listed.
  EXPECT_TRUE(shown.failures.empty());
  EXPECT_EQ(plain.targets(), (std::vector<std::string>{"/"}));
  EXPECT_EQ(secure.count("/"), 1u);
  EXPECT_EQ(FullAddress(run.control->Origin(), "/b"), secure.origin() + "/b");
}

TEST(RealSiteCrawlTest, RedirectsToAnotherSiteAreListedAndNotFollowedAndLoopsEnd) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", PageWithLinks({"/loop-a", "/away"}), ""});
  site.Set("/loop-a", Resource{302, "text/html", "", "loop-b"});
  site.Set("/loop-b", Resource{307, "text/html", "", "/loop-a"});
  site.Set("/away", Resource{301, "text/html", "", "http://elsewhere.example/"});
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), {}));
  const Shown shown = Collect(run);
  EXPECT_EQ(shown.failures,
            (std::map<std::string, std::string>{{"/away", "301"}, {"/loop-a", "302"}, {"/loop-b", "307"}}));
  EXPECT_EQ(site.targets().size(), 4u);

  // A root that sends the crawl to another site at once gives an empty sitemap and says why.
  StaticSite gone;
  ASSERT_TRUE(gone.Start());
  gone.Set("/", Resource{301, "text/html", "", "http://elsewhere.example/"});
  CrawlRun second;
  ASSERT_TRUE(second.Crawl(gone.origin(), {}));
  const Shown away = Collect(second);
  EXPECT_TRUE(away.sitemap.empty());
  EXPECT_EQ(away.failures, (std::map<std::string, std::string>{{"/", "301"}}));
}

}  // namespace
