#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "common/MessageQueue.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CrawlPortion.h"
#include "crawl/CrawlResultConsumer.h"
#include "crawl/CrawlStatus.h"
#include "crawl/CrawlSync.h"
#include "store/UrlState.h"

namespace {

using Entry = std::pair<std::string, std::string>;

// A crawl object whose results go to a queue that the test reads as the main window.
class HandOverTest : public ::testing::Test {
 protected:
  HandOverTest() : consumer(control, nullptr) {
    control.data().notifyWindow = queue.handle();
    consumer.onPortion = [this](const CrawlPortion& portion) {
      ++portions;
      for (const Entry& e : portion.entries) received.insert(e.first), ++receivedCount;
    };
    resultsConsumedEvent.Reset();
  }

  void Record(const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) control.RecordResult(prefix + std::to_string(i), "200");
  }
  size_t Pending() { return control.data().pendingResults.size(); }
  // Handles every message that is already queued.
  void Drain() {
    while (auto msg = queue.Take(std::chrono::milliseconds(0))) consumer.HandleMessage(*msg);
  }

  MessageQueue queue;
  CSitemapControl control;
  CrawlResultConsumer consumer;
  std::set<std::string> received;
  size_t receivedCount = 0;
  size_t portions = 0;
};

TEST_F(HandOverTest, TwoHundredPendingStayButTwoHundredAndOneAreHandedOver) {
  Record("/p", 200);
  control.HandOverResults();
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_EQ(Pending(), 200u);

  control.RecordResult("/last", "404");
  std::atomic<bool> returned{false};
  std::thread worker([&]() {
    control.HandOverResults();
    returned = true;
  });
  auto msg = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->message, WM_CRAWL_RESULTS);
  EXPECT_FALSE(returned.load());  // held until the main window has read the portion
  CrawlPortion seen;
  consumer.onPortion = [&seen](const CrawlPortion& p) { seen = p; };
  consumer.HandleMessage(*msg);
  worker.join();
  EXPECT_EQ(seen.entries.size(), 201u);
  EXPECT_EQ(seen.okPaths.size(), 200u);
  EXPECT_EQ(seen.failures, (std::vector<Entry>{{"/last", "404"}}));
  EXPECT_EQ(Pending(), 0u);
}

TEST_F(HandOverTest, ARepeatedPathKeepsItsFirstCodeAndAnExcludedPathIsNeverRecorded) {
  control.RecordResult("/a", "404");
  control.RecordResult("/a", "200");
  int32_t depth = 0;
  CrawlStores& stores = *control.data().stores;
  ASSERT_TRUE(stores.TryAdd("/hidden", "", 5, depth));
  stores.SetExcluded("/hidden", 1);
  control.RecordResult("/hidden", "200");
  control.RecordResult("/hidden", "500");
  ASSERT_EQ(Pending(), 1u);
  EXPECT_EQ(control.data().pendingResults.at("/a").code, "404");
}

TEST_F(HandOverTest, AnEmptyPortionStillSignalsTheEventOnce) {
  EXPECT_TRUE(consumer.HandleMessage(PostedMessage{WM_CRAWL_RESULTS, 0, 0}));
  EXPECT_EQ(portions, 1u);
  EXPECT_EQ(receivedCount, 0u);
  EXPECT_TRUE(resultsConsumedEvent.WaitFor(std::chrono::milliseconds(0)));
  EXPECT_FALSE(resultsConsumedEvent.IsSet());
}

TEST_F(HandOverTest, ASignalLeftByAnEarlierCrawlIsNoAnswerToTheFirstHandOver) {
  resultsConsumedEvent.Set();  // as the end of the previous crawl leaves it
  Record("/p", 201);
  std::atomic<bool> returned{false};
  std::thread worker([&]() {
    control.HandOverResults();
    returned = true;
  });
  auto msg = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(msg);
  EXPECT_FALSE(returned.load());
  EXPECT_FALSE(resultsConsumedEvent.IsSet());
  consumer.HandleMessage(*msg);
  worker.join();
  EXPECT_EQ(receivedCount, 201u);
}

TEST_F(HandOverTest, AnUnreadPortionIsNeverReplacedByALaterHandOver) {
  Record("/first", 201);
  std::thread worker([&]() { control.HandOverResults(); });
  auto first = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(first);
  // Someone else answers before the window has read the portion (a Stop on another thread).
  resultsConsumedEvent.Set();
  worker.join();

  Record("/second", 201);
  control.HandOverResults();  // must leave these pending: the first portion is still unread
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_EQ(Pending(), 201u);
  control.RecordResult("/third", "200");
  control.FinalHandOver();  // adds to the unread portion instead of replacing it
  EXPECT_EQ(Pending(), 0u);

  consumer.HandleMessage(*first);
  Drain();
  EXPECT_EQ(receivedCount, 403u);
  EXPECT_EQ(received.size(), 403u);
}

TEST_F(HandOverTest, ManyWorkersHandingOverAtOnceLoseAndDoubleNothing) {
  constexpr int kWorkers = 12;
  constexpr int kEach = 450;
  std::atomic<int> done{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w]() {
      for (int i = 0; i < kEach; ++i) {
        control.RecordResult("/w" + std::to_string(w) + "/" + std::to_string(i), "200");
        control.HandOverResults();
      }
      ++done;
    });
  }
  while (done.load() < kWorkers) {
    if (auto msg = queue.Take(std::chrono::milliseconds(20))) consumer.HandleMessage(*msg);
  }
  for (std::thread& t : workers) t.join();
  Drain();
  control.FinalHandOver();
  Drain();
  EXPECT_EQ(receivedCount, static_cast<size_t>(kWorkers * kEach));
  EXPECT_EQ(received.size(), static_cast<size_t>(kWorkers * kEach));
  EXPECT_GT(portions, 1u);
  EXPECT_EQ(Pending(), 0u);
}

TEST_F(HandOverTest, APortionIsGivenOutOnlyOnce) {
  Record("/p", 3);
  control.FinalHandOver();
  CrawlPortion once = ReadShownResults(control);
  CrawlPortion twice = ReadShownResults(control);
  EXPECT_EQ(once.entries.size(), 3u);
  EXPECT_TRUE(twice.entries.empty());
  EXPECT_EQ(queue.size(), 1u);
}

TEST_F(HandOverTest, ResetClearsHostResultsStoresAndCounters) {
  CSitemapData& d = control.data();
  d.host = "example.test";
  d.counters.crawledOk = 3;
  d.counters.excluded = 2;
  int32_t depth = 0;
  d.stores->TryAdd("/x", "", 5, depth);
  Record("/p", 5);
  control.FinalHandOver();
  ASSERT_TRUE(queue.Take(std::chrono::seconds(1)));  // posted, never read
  d.Reset();
  EXPECT_TRUE(control.Host().empty());
  CrawlCounters c = ReadCounters(control);
  EXPECT_EQ(FoundCount(c) + c.excluded, 0);
  EXPECT_TRUE(d.pendingResults.empty());
  EXPECT_TRUE(d.shownResults.empty());
  EXPECT_EQ(d.stores->memory().Exists("/x"), 0);
  EXPECT_EQ(d.pendingResults.max_load_factor(), 1.0f);
  // A portion left unread before the reset does not hold back the next hand-over.
  Record("/n", 201);
  std::thread worker([&]() { control.HandOverResults(); });
  auto msg = queue.Take(std::chrono::seconds(30));
  ASSERT_TRUE(msg);
  consumer.HandleMessage(*msg);
  worker.join();
  EXPECT_EQ(receivedCount, 201u);
}

}  // namespace
