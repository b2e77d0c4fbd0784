#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Status.h"
#include "store/CIntUrlDb.h"
#include "store/CrawlStores.h"
#include "support/TempDir.h"

namespace {
std::string Text(int32_t depth, int32_t state, int32_t flag = 0, const std::string& code = "200") {
  url_prop record;
  record.depth = depth;
  record.state = state;
  record.excludedFlag = flag;
  record.code = code;
  std::string text;
  ToText(record, text);
  return text;
}
}  // namespace

TEST(CIntUrlDbTest, ClosedStoreHoldsNothingAndRefusesWrites) {
  CIntUrlDb store;
  std::vector<std::string> urls{"kept"};
  int32_t depth = 7;
  EXPECT_EQ(store.TakeWaiting(urls, 8).code(), StatusCode::kDbOpen);
  EXPECT_EQ(urls.size(), 1u);
  EXPECT_EQ(store.Exists("/"), 0);
  EXPECT_EQ(store.GetState("/"), Absent);
  EXPECT_EQ(store.GetExcluded("/"), 0);
  EXPECT_EQ(store.SetState("/", Crawled).code(), StatusCode::kRecordRead);
  EXPECT_EQ(store.SetExcluded("/", 1).code(), StatusCode::kRecordRead);
  EXPECT_EQ(store.SetFailed("/", "404").code(), StatusCode::kRecordRead);
  EXPECT_FALSE(store.Add("", "/", 5, depth));
  EXPECT_EQ(depth, 7);
}

TEST(CIntUrlDbTest, OpenStoreReadsAndRewritesRecords) {
  TempDir dir;
  CIntUrlDb store;
  ASSERT_TRUE(store.db().Open(dir.str()).ok());
  ASSERT_TRUE(store.db().Put("/a", Text(2, Waiting)).ok());
  EXPECT_EQ(store.Exists("/a"), 1);
  EXPECT_EQ(store.Exists("/b"), 0);
  EXPECT_EQ(store.GetState("/b"), Absent);
  EXPECT_EQ(store.SetState("/b", Crawled).code(), StatusCode::kRecordRead);  // missing key: nothing to read

  ASSERT_TRUE(store.SetState("/a", Failed).ok());
  ASSERT_TRUE(store.SetFailed("/a", "404").ok());
  ASSERT_TRUE(store.SetExcluded("/a", 1).ok());
  std::string text;
  ASSERT_TRUE(store.db().Get("/a", &text).ok());
  EXPECT_EQ(text, "22 serialization::archive 9 0 0 2 2 1 3 404");
  EXPECT_EQ(store.GetState("/a"), Failed);
  EXPECT_EQ(store.GetExcluded("/a"), 1);
}

// A table file that cannot be read is a failure with leveldb's words, not a record that is
// not there; a key outside the damaged table still reads as missing.
TEST(CIntUrlDbTest, ADatabaseThatCannotBeReadKeepsLeveldbsCauseApartFromAMissingRecord) {
  TempDir dir;
  CIntUrlDb store;
  ASSERT_TRUE(store.db().Open(dir.str()).ok());
  ASSERT_TRUE(store.db().Put("/a", Text(2, Waiting)).ok());
  store.Close();
  ASSERT_TRUE(store.db().Open(dir.str()).ok());  // the log becomes a table file
  store.Close();
  size_t damaged = 0;
  for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
    if (file.path().extension() != ".ldb") continue;
    const auto size = std::filesystem::file_size(file.path());
    std::ofstream(file.path(), std::ios::binary | std::ios::trunc) << std::string(size, '\0');
    ++damaged;
  }
  ASSERT_EQ(damaged, 1u);
  ASSERT_TRUE(store.db().Open(dir.str()).ok());

  const Status unreadable = store.SetState("/a", Crawled);
  EXPECT_EQ(unreadable.code(), StatusCode::kRecordRead);
  EXPECT_NE(unreadable.message().find("Corruption"), std::string::npos) << unreadable;
  EXPECT_EQ(store.GetState("/a"), Absent);
  std::string text;
  EXPECT_EQ(store.db().Lookup("/a", &text).code(), StatusCode::kDbRead);

  const Status missing = store.SetState("/b", Crawled);
  EXPECT_EQ(missing.code(), StatusCode::kRecordRead);
  EXPECT_TRUE(missing.message().empty()) << missing;
  EXPECT_EQ(store.db().Lookup("/b", &text).code(), StatusCode::kMissing);
}

TEST(CIntUrlDbTest, TakeWaitingWalksInKeyOrderAndCountsUnreadableValuesAsWaiting) {
  TempDir dir;
  CIntUrlDb store;
  ASSERT_TRUE(store.db().Open(dir.str()).ok());
  ASSERT_TRUE(store.db().WriteAll({{"/a", Text(1, Crawled)},
                                   {"/b", "garbage"},
                                   {"/c", Text(1, Waiting)},
                                   {"/d", Text(1, Waiting)}}).ok());
  std::vector<std::string> urls;
  EXPECT_EQ(store.TakeWaiting(urls, 0).code(), StatusCode::kBatchSize);
  ASSERT_TRUE(store.TakeWaiting(urls, 2).ok());
  EXPECT_EQ(urls.size(), 2u);
  EXPECT_EQ(urls, (std::vector<std::string>{"/b", "/c"}));
  EXPECT_EQ(store.GetState("/b"), Crawling);
  EXPECT_EQ(store.GetState("/c"), Crawling);
  ASSERT_TRUE(store.TakeWaiting(urls, 8).ok());
  EXPECT_EQ(urls.size(), 3u);
  EXPECT_EQ(urls.back(), "/d");
}

TEST(CIntUrlDbTest, ResetAndCloseLeaveItClosed) {
  TempDir dir;
  CIntUrlDb store;
  ASSERT_TRUE(store.db().Open(dir.str()).ok());
  store.Close();
  EXPECT_EQ(store.db().isOpen(), 0);
  ASSERT_TRUE(store.db().Open(dir.str()).ok());
  store.Reset();
  EXPECT_EQ(store.db().isOpen(), 0);
  CIntUrlDb other;
  EXPECT_TRUE(other.db().Open(dir.str()).ok());  // the folder's lock went with the old wrapper
}

TEST(CrawlStoresTest, BatchesComeFromMemoryThenFromTheDatabase) {
  TempDir dir;
  CrawlStores stores;
  int32_t depth = -1;
  ASSERT_TRUE(stores.TryAdd("/", "", 5, depth));
  std::vector<std::string> urls{"stale"};
  ASSERT_TRUE(stores.TakeBatch(urls, 4).ok());
  EXPECT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls, std::vector<std::string>{"/"});
  ASSERT_TRUE(stores.TakeBatch(urls, 4).ok());
  EXPECT_EQ(urls.size(), 0u);
  EXPECT_TRUE(urls.empty());

  ASSERT_TRUE(stores.database().db().Open(dir.str()).ok());
  ASSERT_TRUE(stores.database().db().Put("/old", Text(1, Waiting)).ok());
  ASSERT_TRUE(stores.TryAdd("/new", "/", 5, depth));
  ASSERT_TRUE(stores.TakeBatch(urls, 4).ok());
  EXPECT_EQ(urls.size(), 2u);
  EXPECT_EQ(urls, (std::vector<std::string>{"/new", "/old"}));
}

TEST(CrawlStoresTest, TryAddRefusesUrlsEitherStoreHolds) {
  TempDir dir;
  CrawlStores stores;
  ASSERT_TRUE(stores.database().db().Open(dir.str()).ok());
  ASSERT_TRUE(stores.database().db().Put("/db", Text(1, Crawled)).ok());
  int32_t depth = 99;
  EXPECT_FALSE(stores.TryAdd("/db", "", 5, depth));
  EXPECT_EQ(depth, 99);
  ASSERT_TRUE(stores.TryAdd("/", "", 5, depth));
  depth = 99;
  EXPECT_FALSE(stores.TryAdd("/", "", 5, depth));
  EXPECT_EQ(depth, 99);
  EXPECT_EQ(stores.memory().Exists("/db"), 0);
}

TEST(CrawlStoresTest, PerUrlCallsGoToTheStoreThatHoldsTheUrl) {
  TempDir dir;
  CrawlStores stores;
  ASSERT_TRUE(stores.database().db().Open(dir.str()).ok());
  ASSERT_TRUE(stores.database().db().Put("/db", Text(1, Crawling)).ok());
  int32_t depth = 0;
  ASSERT_TRUE(stores.TryAdd("/mem", "", 5, depth));

  stores.SetState("/mem", Failed);
  EXPECT_TRUE(stores.SetFailed("/mem", "500").ok());
  EXPECT_TRUE(stores.SetExcluded("/mem", 1).ok());
  EXPECT_EQ(stores.GetExcluded("/mem"), 1);
  EXPECT_EQ(stores.memory().GetState("/mem"), Failed);

  stores.SetState("/db", Failed);
  EXPECT_TRUE(stores.SetFailed("/db", "404").ok());
  EXPECT_TRUE(stores.SetExcluded("/db", 1).ok());
  EXPECT_EQ(stores.GetExcluded("/db"), 1);
  std::string text;
  ASSERT_TRUE(stores.database().db().Get("/db", &text).ok());
  EXPECT_EQ(text, "22 serialization::archive 9 0 0 1 2 1 3 404");

  EXPECT_EQ(stores.SetExcluded("/none", 1).code(), StatusCode::kRecordRead);
  EXPECT_EQ(stores.GetExcluded("/none"), 0);
}

TEST(CrawlStoresTest, ResetEmptiesTheStoresAndClosesTheDatabase) {
  TempDir dir;
  CrawlStores stores;
  int32_t depth = 0;
  ASSERT_TRUE(stores.TryAdd("/", "", 5, depth));
  ASSERT_TRUE(stores.database().db().Open(dir.str()).ok());
  stores.Reset();
  EXPECT_EQ(stores.memory().Exists("/"), 0);
  EXPECT_EQ(stores.database().db().isOpen(), 0);
  EXPECT_TRUE(stores.TryAdd("/", "", 5, depth));
}
