#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include <boost/thread/locks.hpp>

#include "common/Status.h"
#include "store/CIntUrlData.h"
#include "store/CrawlStores.h"

namespace {
int32_t AddOrFail(CIntUrlData& store, const std::string& parent, const std::string& url, int32_t maxDepth = 5) {
  int32_t depth = -1;
  EXPECT_TRUE(store.Add(parent, url, maxDepth, depth)) << url;
  return depth;
}
}  // namespace

TEST(CIntUrlDataTest, AddComputesTheDepthFromTheParent) {
  CIntUrlData store;
  EXPECT_EQ(AddOrFail(store, "", "/", 0), 0);
  EXPECT_EQ(store.GetState("/"), Waiting);  // the root is never too deep
  EXPECT_EQ(AddOrFail(store, "/nowhere", "/orphan"), 1);
  EXPECT_EQ(AddOrFail(store, "/", "/1"), 1);
  EXPECT_EQ(AddOrFail(store, "/1", "/2"), 2);
  EXPECT_EQ(AddOrFail(store, "/2", "/3"), 3);
  EXPECT_EQ(AddOrFail(store, "/3", "/4"), 4);
  EXPECT_EQ(AddOrFail(store, "/4", "/5"), 5);
  EXPECT_EQ(store.GetState("/5"), Waiting);
  EXPECT_EQ(AddOrFail(store, "/5", "/6"), 6);
  EXPECT_EQ(store.GetState("/6"), NotAllowed);
}

TEST(CIntUrlDataTest, AddOfAHeldUrlKeepsItsRecordButReportsTheDepth) {
  CIntUrlData store;
  AddOrFail(store, "", "/");
  AddOrFail(store, "/", "/a");
  ASSERT_TRUE(store.SetExcluded("/a", 1).ok());
  int32_t depth = -1;
  EXPECT_FALSE(store.Add("", "/a", 5, depth));
  EXPECT_EQ(depth, 0);
  url_prop record;
  ASSERT_TRUE(store.Read("/a", record));
  EXPECT_EQ(record.depth, 1);
  EXPECT_EQ(record.excludedFlag, 1);
  EXPECT_EQ(store.size(), 2u);
}

TEST(CIntUrlDataTest, KeysCompareExactly) {
  CIntUrlData store;
  AddOrFail(store, "", "/A");
  AddOrFail(store, "", "/a");
  ASSERT_TRUE(store.SetState("/A", Crawled).ok());
  EXPECT_EQ(store.GetState("/a"), Waiting);
  EXPECT_EQ(store.Exists("/b"), 0);
}

TEST(CIntUrlDataTest, UnknownUrlAnswers) {
  CIntUrlData store;
  EXPECT_EQ(store.Exists("/x"), 0);
  EXPECT_EQ(store.GetState("/x"), Absent);
  EXPECT_EQ(store.GetExcluded("/x"), 0);
  EXPECT_EQ(store.SetState("/x", Crawled).code(), StatusCode::kMissing);
  EXPECT_EQ(store.SetExcluded("/x", 1).code(), StatusCode::kMissing);
  EXPECT_EQ(store.SetFailed("/x", "404").code(), StatusCode::kLockTimeout);
}

TEST(CIntUrlDataTest, SettersWriteTheirFields) {
  CIntUrlData store;
  AddOrFail(store, "", "/p");
  ASSERT_TRUE(store.SetFailed("/p", "-10000").ok());
  ASSERT_TRUE(store.SetExcluded("/p", 1).ok());
  url_prop record;
  ASSERT_TRUE(store.Read("/p", record));
  EXPECT_EQ(record.state, Failed);
  EXPECT_EQ(record.code, "-10000");
  EXPECT_EQ(store.GetExcluded("/p"), 1);
}

TEST(CIntUrlDataTest, SecondBlockLeavesTheFirstBlocksRecordsAlone) {
  CIntUrlData store;
  ASSERT_EQ(store.pool()->recordCount(), 10000u);
  AddOrFail(store, "", "/0");
  for (int i = 1; i < 10000; ++i) AddOrFail(store, "/0", "/" + std::to_string(i));
  ASSERT_TRUE(store.SetFailed("/5", "500").ok());
  EXPECT_EQ(store.pool()->recordCount(), 10000u);
  AddOrFail(store, "/9999", "/10000");
  EXPECT_EQ(store.pool()->recordCount(), 20000u);
  EXPECT_EQ(store.pool()->last(), 10000);
  url_prop record;
  ASSERT_TRUE(store.Read("/5", record));
  EXPECT_EQ(record.depth, 1);
  EXPECT_EQ(record.code, "500");
  ASSERT_TRUE(store.Read("/10000", record));
  EXPECT_EQ(record.depth, 2);
}

TEST(CIntUrlDataTest, TakeWaitingHandsOutEachWaitingUrlOnceUpToMax) {
  CIntUrlData store;
  for (int i = 0; i < 5; ++i) AddOrFail(store, "", "/" + std::to_string(i));
  std::vector<std::string> first;
  ASSERT_TRUE(store.TakeWaiting(first, 3).ok());
  EXPECT_EQ(first.size(), 3u);
  for (const auto& url : first) EXPECT_EQ(store.GetState(url), Crawling);
  std::vector<std::string> second;
  ASSERT_TRUE(store.TakeWaiting(second, 3).ok());
  EXPECT_EQ(second.size(), 2u);
  std::set<std::string> all(first.begin(), first.end());
  all.insert(second.begin(), second.end());
  EXPECT_EQ(all.size(), 5u);
  std::vector<std::string> none{"kept"};
  ASSERT_TRUE(store.TakeWaiting(none, 3).ok());
  EXPECT_EQ(none.size(), 1u);
  EXPECT_EQ(none, std::vector<std::string>{"kept"});
}

TEST(CIntUrlDataTest, TakeWaitingAppendsAndTakesOneWhenUrlsAlreadyReachMax) {
  CIntUrlData store;
  for (int i = 0; i < 4; ++i) AddOrFail(store, "", "/" + std::to_string(i));
  std::vector<std::string> urls{"x", "y"};
  ASSERT_TRUE(store.TakeWaiting(urls, 3).ok());
  EXPECT_EQ(urls.size(), 3u);
  EXPECT_EQ(urls[0], "x");
  std::vector<std::string> full{"a", "b", "c"};
  ASSERT_TRUE(store.TakeWaiting(full, 3).ok());
  EXPECT_EQ(full.size(), 4u);
}

TEST(CIntUrlDataTest, TakeWaitingSkipsRecordsThatLeftWaitingAndFindsOnesSetBack) {
  CIntUrlData store;
  AddOrFail(store, "", "/a");
  AddOrFail(store, "", "/b.zip");
  AddOrFail(store, "", "/c");
  ASSERT_TRUE(store.SetState("/b.zip", NotAllowed).ok());
  ASSERT_TRUE(store.SetState("/c", Crawled).ok());
  ASSERT_TRUE(store.SetState("/c", Waiting).ok());
  ASSERT_TRUE(store.SetState("/c", Waiting).ok());
  std::vector<std::string> urls;
  ASSERT_TRUE(store.TakeWaiting(urls, 10).ok());
  EXPECT_EQ(urls.size(), 2u);
  std::sort(urls.begin(), urls.end());
  EXPECT_EQ(urls, (std::vector<std::string>{"/a", "/c"}));
  urls.clear();
  ASSERT_TRUE(store.TakeWaiting(urls, 10).ok());
  EXPECT_EQ(urls.size(), 0u);
}

TEST(CIntUrlDataTest, ResetForgetsEveryUrlAndStartsANewPool) {
  CIntUrlData store;
  AddOrFail(store, "", "/");
  AddOrFail(store, "/", "/a");
  store.Reset();
  EXPECT_EQ(store.Exists("/"), 0);
  EXPECT_EQ(store.Exists("/a"), 0);
  EXPECT_EQ(store.pool()->last(), -1);
  std::vector<std::string> urls;
  ASSERT_TRUE(store.TakeWaiting(urls, 8).ok());
  EXPECT_EQ(urls.size(), 0u);
  EXPECT_EQ(AddOrFail(store, "/", "/a"), 1);
  EXPECT_EQ(store.pool()->last(), 0);
  url_prop record;
  ASSERT_TRUE(store.Read("/a", record));
  EXPECT_EQ(record.code, "200");
}

TEST(CIntUrlDataTest, ConcurrentAddsRecordEachUrlOnce) {
  CrawlStores stores;
  constexpr int kThreads = 4;
  constexpr int kUrls = 2000;
  std::atomic<int> added{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kUrls; ++i) {
        // Each thread goes its own way through the same links.
        const int n = (i * (t + 1) * 7919) % kUrls;
        int32_t depth = 0;
        if (stores.TryAdd("/" + std::to_string(n), "", 5, depth)) ++added;
      }
    });
  }
  std::thread taker([&] {
    std::vector<std::string> urls;
    for (int i = 0; i < 200; ++i) stores.TakeBatch(urls, 4);
  });
  for (auto& thread : threads) thread.join();
  taker.join();
  EXPECT_EQ(added.load(), kUrls);
  EXPECT_EQ(stores.memory().size(), static_cast<size_t>(kUrls));
}

TEST(CIntUrlDataTest, EveryWriteWaitsOutAHeldLockAndHappens) {
  CIntUrlData store;
  int32_t depth = -1;
  ASSERT_TRUE(store.Add("", "/held", 5, depth));
  ASSERT_TRUE(store.Add("", "/other", 5, depth));
  std::atomic<bool> holding{false};
  std::thread holder([&] {
    holding = true;
    store.HoldLock(std::chrono::milliseconds(1500));
  });
  while (!holding) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Longer than writers used to wait before they dropped their write.
  std::vector<std::string> urls;
  Status setResult(StatusCode::kGeneral), failedResult(StatusCode::kGeneral), takeResult(StatusCode::kGeneral);
  bool addResult = false;
  int32_t addDepth = 42;
  std::thread setter([&] { setResult = store.SetExcluded("/held", 1); });
  std::thread failer([&] { failedResult = store.SetFailed("/other", "404"); });
  std::thread adder([&] { addResult = store.Add("/held", "/new", 5, addDepth); });
  std::thread taker([&] { takeResult = store.TakeWaiting(urls, 8); });
  setter.join();
  failer.join();
  adder.join();
  taker.join();
  holder.join();
  EXPECT_TRUE(setResult.ok());
  EXPECT_TRUE(failedResult.ok());
  EXPECT_TRUE(addResult);
  EXPECT_EQ(addDepth, 1);
  EXPECT_TRUE(takeResult.ok());
  EXPECT_GE(urls.size(), 1u);
  EXPECT_EQ(store.GetExcluded("/held"), 1);
  EXPECT_EQ(store.GetState("/other"), Failed);
  EXPECT_EQ(store.Exists("/new"), 1);
}
