#include <gtest/gtest.h>

#include <fstream>

#include "common/Status.h"
#include "store/CLevelDb.h"
#include "support/TempDir.h"

TEST(CLevelDbTest, ClosedDatabaseAnswersNotOpen) {
  CLevelDb db;
  std::string value = "kept";
  std::map<std::string, std::string> pairs;
  EXPECT_EQ(db.isOpen(), 0);
  EXPECT_EQ(db.Get("k", &value).code(), StatusCode::kNotOpen);
  EXPECT_EQ(db.Get("k", nullptr).code(), StatusCode::kMissing);
  EXPECT_EQ(db.Put("k", "v").code(), StatusCode::kNotOpen);
  EXPECT_EQ(db.Contains("k"), 0);
  EXPECT_EQ(db.WriteAll({{"k", "v"}}).code(), StatusCode::kNotOpen);
  EXPECT_EQ(db.ReadAll(pairs).code(), StatusCode::kNotOpen);
  EXPECT_EQ(value, "kept");
}

TEST(CLevelDbTest, OpensInMissingNestedFoldersAndKeepsPairsAcrossReopen) {
  TempDir dir;
  const std::string path = (dir.path() / "db" / "sitemap" / "setup").string();
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(path).ok()) << db.lastError();
    EXPECT_EQ(db.isOpen(), 1);
    EXPECT_EQ(db.openPath(), path);
    ASSERT_TRUE(db.Put("/a", "1").ok());
    ASSERT_TRUE(db.WriteAll({{"/b", "2"}, {"/c", std::string("x\0y", 3)}}).ok());
  }
  CLevelDb db;
  ASSERT_TRUE(db.Open(path).ok());
  std::string value;
  ASSERT_TRUE(db.Get("/c", &value).ok());
  EXPECT_EQ(value, std::string("x\0y", 3));
  EXPECT_EQ(db.Contains("/a"), 1);
  EXPECT_EQ(db.Contains("/A"), 0);

  std::map<std::string, std::string> pairs{{"/b", "mine"}};
  ASSERT_TRUE(db.ReadAll(pairs).ok());
  EXPECT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs["/a"], "1");
  EXPECT_EQ(pairs["/b"], "mine");  // the map's own value wins
}

TEST(CLevelDbTest, MissingKeyIsAReadErrorWithItsText) {
  TempDir dir;
  CLevelDb db;
  ASSERT_TRUE(db.Open(dir.str()).ok());
  std::string value = "kept";
  EXPECT_EQ(db.Get("nothing", &value).code(), StatusCode::kDbRead);
  EXPECT_FALSE(db.lastError().empty());
}

TEST(CLevelDbTest, SameFolderInOtherCaseStaysOpenAnotherFolderReplacesIt) {
  TempDir dir;
  const std::string first = (dir.path() / "Store").string();
  const std::string upper = (dir.path() / "STORE").string();
  CLevelDb db;
  ASSERT_TRUE(db.Open(first).ok());
  ASSERT_TRUE(db.Put("k", "v").ok());
  EXPECT_TRUE(db.Open(upper).ok());
  EXPECT_EQ(db.openPath(), first);  // not reopened: the folder in the other case was never made
  EXPECT_FALSE(std::filesystem::exists(upper) && !std::filesystem::equivalent(upper, first));
  EXPECT_EQ(db.Contains("k"), 1);

  const std::string second = (dir.path() / "other").string();
  ASSERT_TRUE(db.Open(second).ok());
  EXPECT_EQ(db.openPath(), second);
  EXPECT_EQ(db.Contains("k"), 0);
  ASSERT_TRUE(db.Open(first).ok());  // the lock of the first was given up with its handle
  EXPECT_EQ(db.Contains("k"), 1);
}

TEST(CLevelDbTest, PlainFileInTheWayFailsAndLeavesItClosed) {
  TempDir dir;
  const auto file = dir.path() / "plain";
  std::ofstream(file) << "not a database";
  CLevelDb db;
  ASSERT_TRUE(db.Open((dir.path() / "ok").string()).ok());
  const Status refused = db.Open(file.string());
  EXPECT_EQ(refused.code(), StatusCode::kDbOpen);
  // The failure says why in leveldb's words, naming the folder, so a front end can show more than a number.
  EXPECT_NE(refused.message().find(file.string()), std::string::npos) << refused.message();
  EXPECT_EQ(refused.message(), db.lastError());
  EXPECT_EQ(db.isOpen(), 0);
  EXPECT_TRUE(db.openPath().empty());
  EXPECT_EQ(db.Open((file / "below").string()).code(), StatusCode::kDbOpen);
  EXPECT_EQ(db.Put("k", "v").code(), StatusCode::kNotOpen);
}

TEST(CLevelDbTest, SecondHandleOnAnOpenFolderIsRefused) {
  TempDir dir;
  CLevelDb a, b;
  ASSERT_TRUE(a.Open(dir.str()).ok());
  const Status held = b.Open(dir.str());
  EXPECT_EQ(held.code(), StatusCode::kDbOpen);
  EXPECT_NE(held.message().find("LOCK"), std::string::npos) << held.message();  // how the journal tells a folder in use
  a.Close();
  EXPECT_EQ(a.isOpen(), 0);
  EXPECT_TRUE(b.Open(dir.str()).ok());
}
