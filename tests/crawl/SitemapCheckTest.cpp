#include "crawl/SitemapCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "common/ResultCodes.h"
#include "crawl/CSitemapData.h"
#include "crawl/LinkAdmission.h"
#include "crawl/PageFetch.h"
#include "web/CHttpSession.h"

namespace {

// A site whose only sitemap, at /sitemap.xml, lists /met.html, /orphan.html and /private/x.html.
// The skip pattern refuses /private/, so that entry can never be fetched.
class SitemapCheckTest : public ::testing::Test {
 protected:
  SitemapCheckTest() : data_(Params()) {
    fetch_.SetFetcher([](const std::string& address, std::string& headers, std::string& body) {
      if (address != "http://site.test/sitemap.xml") {
        headers = "HTTP/1.1 404 Not Found";
        return 0;
      }
      headers = "HTTP/1.1 200 OK\r\nContent-Type: application/xml";
      body = "<?xml version=\"1.0\"?><urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">"
             "<url><loc>http://site.test/met.html</loc></url><url><loc>http://site.test/orphan.html</loc></url>"
             "<url><loc>http://site.test/private/x.html</loc></url></urlset>";
      return 0;
    });
    fetch_.Begin();
    data_.origin = OriginOf(data_.params.startUrl);
  }

  static CrawlStartParams Params() {
    CrawlStartParams params;
    params.startUrl = "http://site.test/";
    params.maxDepth = 10;
    params.rules.auditSitemap = true;
    params.rules.maxPages = 3;
    params.rules.skipPatterns = {"/private/*"};
    return params;
  }

  // The crawl has met the root and /met.html, and read the sitemap.
  void CrawlMet() {
    admission_.AdmitLink("/", "");
    admission_.AdmitLink("/met.html", "/");
    CHttpSession session;
    check_.ReadSiteSitemaps(session, data_.origin);
  }

  // Stands in for the workers: takes every page that waits.
  std::vector<std::string> TakeAll() {
    std::vector<std::string> taken;
    for (std::string path; data_.ledger.Take(path);) taken.push_back(path);
    return taken;
  }

  std::atomic<bool> stopped_{false};
  CSitemapData data_;
  PageFetch fetch_{data_.params, [this] { return data_.origin; }, [this] { return stopped_.load(); }};
  LinkAdmission admission_{data_};
  SitemapCheck check_{data_, fetch_, admission_, [this] { return stopped_.load(); }};
};

}  // namespace

TEST_F(SitemapCheckTest, OnlyTheEntriesTheCrawlNeverMetAreFetchedAndTheirLinksAreNotFollowed) {
  CrawlMet();
  EXPECT_EQ(TakeAll(), (std::vector<std::string>{"/", "/met.html"}));
  int runs = 0;
  std::vector<std::string> fetched;
  EXPECT_EQ(check_.FetchOrphans([&] {
    ++runs;
    fetched = TakeAll();
    return rc::kOk;
  }),
            rc::kOk);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(fetched, (std::vector<std::string>{"/orphan.html"}));
  EXPECT_FALSE(check_.Follows("/orphan.html"));
  EXPECT_TRUE(check_.Follows("/met.html"));
}

TEST_F(SitemapCheckTest, ACrawlThePageLimitOrAStopCutShortFetchesNoOrphan) {
  CrawlMet();
  admission_.AdmitLinks({"/more.html", "/last.html"}, "/");
  EXPECT_EQ(TakeAll().size(), 3u);  // one is left waiting: the limit of three pages
  ASSERT_TRUE(data_.ledger.PageLimitReached());
  int runs = 0;
  const auto runWorkers = [&runs] {
    ++runs;
    return rc::kOk;
  };
  EXPECT_EQ(check_.FetchOrphans(runWorkers), rc::kOk);
  EXPECT_TRUE(check_.Follows("/orphan.html"));  // not known as an orphan: nothing was judged

  stopped_ = true;
  EXPECT_EQ(check_.FetchOrphans(runWorkers), rc::kStopped);
  EXPECT_EQ(runs, 0);
}
