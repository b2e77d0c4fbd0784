#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "CrawlTestSite.h"
#include "crawl/CrawlStatus.h"
#include "store/UrlState.h"
#include "support/HostileSite.h"

namespace {

// libcurl is set up by the environment that CrawlRunTest registers for this executable.

TEST(HostileSiteCrawlTest, EveryHostilePageEndsWithACodeAndNothingIsLeftWaitingOrCrawling) {
  RawHttpSite site;
  const HostileSitePlan plan = FillHostileSite(site);
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options options;
  options.maxDepth = kHostileMaxDepth;
  options.threadCount = 8;
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(run.Crawl(site.origin() + "/", options));
  // The slowest page ends at the client's total time-out of 10 s.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));

  std::map<std::string, std::string> results(run.entries.begin(), run.entries.end());
  EXPECT_EQ(results.size(), run.entries.size());  // each page handed over once
  CrawlStores& stores = run.control->data().ledger.stores();
  for (const std::string& path : plan.successes) {
    EXPECT_EQ(results[path], "200") << path.substr(0, 80);
    EXPECT_EQ(stores.memory().GetState(path), Crawled) << path.substr(0, 80);
  }
  for (const std::string& path : plan.anyOutcome) {
    ASSERT_EQ(results.count(path), 1u) << path;
    EXPECT_FALSE(results[path].empty()) << path;
    EXPECT_EQ(stores.memory().GetState(path), results[path] == "200" ? Crawled : Failed) << path;
  }
  for (const std::string& path : plan.timedOut) {
    EXPECT_EQ(results[path], "curl 28") << path;
    EXPECT_EQ(stores.memory().GetState(path), Failed) << path;
  }
  for (const std::string& path : plan.unreached) EXPECT_EQ(site.count(path), 0u) << path;
  EXPECT_EQ(results.size(), plan.successes.size() + plan.anyOutcome.size() + plan.timedOut.size());

  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(c.crawling, 0);
  EXPECT_EQ(c.waiting, 0);
  EXPECT_EQ(c.tooDeep, plan.tooDeepLinks);
  EXPECT_EQ(c.crawledOk + c.failed, static_cast<int32_t>(results.size()));
  EXPECT_EQ(site.count("/deep/many/9999.html"), 0u);
}

}  // namespace
