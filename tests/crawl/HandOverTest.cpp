#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "NoticeQueue.h"
#include "crawl/CrawlPortion.h"
#include "crawl/PortionHandOver.h"
#include "crawl/ResultBatcher.h"

namespace {

using Entry = std::pair<std::string, std::string>;

// A crawl's results batched for a consumer that hands them over to the test, which plays the
// main window.
class HandOverTest : public ::testing::Test {
 protected:
  HandOverTest()
      : poster(std::make_shared<PortionHandOver>(queue.NotifyFor(7))),
        batcher(poster, [] { return SiteOrigin{}; }, [this] { return stopped.load(); }) {}

  void RecordResult(const std::string& path, const std::string& code) {
    PageResult result;
    result.path = path;
    result.outcome = *PageOutcome::FromText(code);
    batcher.Add(std::move(result));
  }
  void Record(const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) RecordResult(prefix + std::to_string(i), "200");
  }
  size_t Pending() { return batcher.pending(); }
  // The window's part: takes what waits when the message says so.
  void Handle(const Notice& msg) {
    ASSERT_EQ(msg.crawl, 7);
    if (msg.event != PortionHandOver::Event::PortionsWaiting) return;
    CrawlPortion portion = poster->Take();
    poster->Release();
    ++portions;
    for (const auto& e : portion.entries) received.push_back(e.first);
  }
  void Drain() {
    while (auto msg = queue.Take(std::chrono::milliseconds(0))) Handle(*msg);
  }

  NoticeQueue queue;
  std::shared_ptr<PortionHandOver> poster;
  std::atomic<bool> stopped{false};
  ResultBatcher batcher;
  std::vector<std::string> received;
  size_t portions = 0;
};

TEST_F(HandOverTest, TwoHundredPendingStayButTwoHundredAndOneAreHandedOverAndHeldUntilTaken) {
  Record("/p", 200);
  batcher.HandOver();
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_EQ(Pending(), 200u);

  RecordResult("/last", "404");
  std::atomic<bool> returned{false};
  std::thread worker([&]() {
    batcher.HandOver();
    returned = true;
  });
  auto msg = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->event, PortionHandOver::Event::PortionsWaiting);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(returned.load());  // held until the main window has taken the portion
  CrawlPortion seen = poster->Take();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(returned.load());  // taken, but still being shown
  poster->Release();
  worker.join();
  EXPECT_EQ(seen.entries.size(), 201u);
  EXPECT_EQ(seen.okPaths.size(), 200u);
  EXPECT_EQ(seen.okPaths.front(), "/p0");  // in the order they were recorded
  EXPECT_EQ(seen.okPaths.back(), "/p199");
  ASSERT_EQ(seen.failures.size(), 1u);
  EXPECT_EQ(seen.failures[0].path, "/last");
  EXPECT_EQ(seen.failures[0].outcome, PageOutcome::Status(404));
  EXPECT_EQ(Pending(), 0u);
}

TEST_F(HandOverTest, AFewResultsAreHandedOverOnceTheyHaveWaitedTheInterval) {
  Record("/slow", 3);
  batcher.HandOver();
  EXPECT_EQ(Pending(), 3u);  // neither many nor old
  std::this_thread::sleep_for(ResultBatcher::kInterval + std::chrono::milliseconds(20));
  std::thread worker([&]() { batcher.HandOver(); });
  auto msg = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(msg);
  Handle(*msg);
  worker.join();
  EXPECT_EQ(received, (std::vector<std::string>{"/slow0", "/slow1", "/slow2"}));
}

TEST_F(HandOverTest, AStopReleasesAWaitingWorkerAndTheWindowStillTakesEverything) {
  Record("/first", 201);
  std::thread worker([&]() { batcher.HandOver(); });
  auto first = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(first);
  stopped = true;  // the window is busy elsewhere; the stop must not wait for it
  worker.join();

  Record("/second", 201);
  batcher.HandOver();  // stopped: handed over without waiting, no second message
  EXPECT_EQ(Pending(), 0u);
  EXPECT_EQ(queue.size(), 0u);

  Handle(*first);
  Drain();
  EXPECT_EQ(received.size(), 402u);
  EXPECT_EQ(std::set<std::string>(received.begin(), received.end()).size(), 402u);
}

TEST_F(HandOverTest, ManyWorkersHandingOverAtOnceLoseAndDoubleNothing) {
  constexpr int kWorkers = 12;
  constexpr int kEach = 450;
  std::atomic<int> done{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w]() {
      for (int i = 0; i < kEach; ++i) {
        RecordResult("/w" + std::to_string(w) + "/" + std::to_string(i), "200");
        batcher.HandOver();
      }
      ++done;
    });
  }
  while (done.load() < kWorkers) {
    if (auto msg = queue.Take(std::chrono::milliseconds(20))) Handle(*msg);
  }
  for (std::thread& t : workers) t.join();
  Drain();
  std::atomic<bool> lastDone{false};
  std::thread last([&]() {
    batcher.HandOver(true);  // what the crawl's end hands over
    lastDone = true;
  });
  while (!lastDone) {
    if (auto msg = queue.Take(std::chrono::milliseconds(20))) Handle(*msg);
  }
  last.join();
  Drain();
  EXPECT_EQ(received.size(), static_cast<size_t>(kWorkers * kEach));
  EXPECT_EQ(std::set<std::string>(received.begin(), received.end()).size(), static_cast<size_t>(kWorkers * kEach));
  EXPECT_GT(portions, 1u);
}

}  // namespace
