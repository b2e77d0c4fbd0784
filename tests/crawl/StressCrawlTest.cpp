#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <map>
#include <set>
#include <thread>

#include "CrawlTestSite.h"
#include "crawl/CrawlStatus.h"
#include "store/UrlState.h"

namespace {

// libcurl is set up by the environment that CrawlRunTest registers for this executable.

using Clock = std::chrono::steady_clock;

// 600 pages /p/0 .. /p/599; each links to 500 of them, so every such link is met about 500
// times, and to a leaf /u/N of its own, met only once. Every 50th page is missing (404). The
// root links to the first 500.
constexpr int kPages = 600;
constexpr int kLinksPerPage = 500;

std::string PagePath(int i) { return "/p/" + std::to_string(i); }
std::string LeafPath(int i) { return "/u/" + std::to_string(i); }
bool Missing(int i) { return i % 50 == 49; }

bool OverlappingPage(const std::string& path, TestSite::Page& page) {
  int n = -1;
  if (path.rfind("/u/", 0) == 0) {
    page.html = PageWithLinks({});
    return true;
  }
  if (path != "/") {
    if (path.rfind("/p/", 0) != 0) return false;
    n = std::stoi(path.substr(3));
    if (n < 0 || n >= kPages || Missing(n)) return false;
  }
  std::vector<std::string> links;
  for (int k = 0; k < kLinksPerPage; ++k) links.push_back(PagePath(n < 0 ? k : (n * 37 + k * 7) % kPages));
  if (n >= 0) links.push_back(LeafPath(n));
  page.html = PageWithLinks(links);
  return true;
}

// 256 workers, and the store's lock held for 2 s while the crawl is in full swing: every
// worker queues behind it. Nothing may be lost, doubled or left "crawling", and the crawl may
// end only when nothing waits.
TEST(StressCrawlTest, TwoHundredFiftySixWorkersAdmitEveryLinkOnceThroughATwoSecondStoreStall) {
  TestSite site(300);  // a thread for each worker's kept-alive connection
  site.SetGenerator(OverlappingPage);
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  size_t arrivalsAtFinish = 0;
  run.onFinished = [&] { arrivalsAtFinish = site.arrivals().size(); };
  CrawlRun::Options options;
  options.threadCount = 256;
  options.maxDepth = 10;

  const int32_t missing = kPages / 50;
  const int32_t total = 1 + kPages + (kPages - missing);
  std::atomic<int32_t> okAtHold{-1};
  std::atomic<size_t> arrivalsAfterHold{0};
  const auto started = Clock::now();
  run.Start(site.origin(), options);
  std::thread staller([&] {
    // Once a hundred pages are in, every store operation waits 2 s.
    const auto limit = Clock::now() + std::chrono::seconds(60);
    while (run.control->Counters().crawledOk < 100 && Clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    okAtHold = run.control->Counters().crawledOk;
    run.control->data().ledger.stores().memory().HoldLock(std::chrono::seconds(2));
    arrivalsAfterHold = site.arrivals().size();
  });
  const bool finished = run.RunUntilFinished();
  staller.join();
  const auto took = Clock::now() - started;
  ASSERT_TRUE(finished);
  std::cout << "[ figures  ] 256 workers, " << total << " pages, 2 s stall: "
            << std::chrono::duration<double>(took).count() << " s; " << run.portions.size() << " portions\n";
  EXPECT_LT(took, std::chrono::seconds(40));

  // The stall came in the middle of the crawl, and the crawl went on after it.
  EXPECT_GE(okAtHold.load(), 100);
  EXPECT_LT(okAtHold.load(), total - missing);
  EXPECT_LT(arrivalsAfterHold.load(), static_cast<size_t>(total));

  CrawlCounters c = run.control->Counters();
  EXPECT_EQ(FoundCount(c), total);
  EXPECT_EQ(c.crawledOk, total - missing);
  EXPECT_EQ(c.failed, missing);
  EXPECT_EQ(c.crawling, 0);
  EXPECT_EQ(c.waiting, 0);
  CIntUrlData& store = run.control->data().ledger.stores().memory();
  EXPECT_EQ(store.size(), static_cast<size_t>(total));
  ASSERT_EQ(store.GetState("/"), Crawled);
  for (int i = 0; i < kPages; ++i) {
    ASSERT_EQ(store.GetState(PagePath(i)), Missing(i) ? Failed : Crawled) << i;
    ASSERT_EQ(store.GetState(LeafPath(i)), Missing(i) ? Absent : Crawled) << i;
  }

  // Each page requested once, all of them before the crawl said it had ended.
  std::map<std::string, int> requests;
  for (const std::string& path : site.arrivals()) ++requests[path];
  EXPECT_EQ(requests.size(), static_cast<size_t>(total));
  for (const auto& [path, n] : requests) ASSERT_EQ(n, 1) << path;
  EXPECT_EQ(arrivalsAtFinish, static_cast<size_t>(total));

  // Every result reached the window once.
  std::set<std::string> shown;
  for (const auto& entry : run.entries) EXPECT_TRUE(shown.insert(entry.first).second) << entry.first;
  EXPECT_EQ(shown.size(), static_cast<size_t>(total));
}

}  // namespace
