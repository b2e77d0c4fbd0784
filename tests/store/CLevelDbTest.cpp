#include <gtest/gtest.h>

#include <fstream>

#include "common/ResultCodes.h"
#include "store/CLevelDb.h"
#include "support/TempDir.h"

TEST(CLevelDbTest, ClosedDatabaseAnswersNotOpen) {
  CLevelDb db;
  std::string value = "kept";
  std::map<std::string, std::string> pairs;
  EXPECT_EQ(db.isOpen(), 0);
  EXPECT_EQ(db.Get("k", &value), rc::kNotOpen);
  EXPECT_EQ(db.Get("k", nullptr), rc::kMissing);
  EXPECT_EQ(db.Put("k", "v"), rc::kNotOpen);
  EXPECT_EQ(db.Contains("k"), 0);
  EXPECT_EQ(db.WriteAll({{"k", "v"}}), rc::kNotOpen);
  EXPECT_EQ(db.ReadAll(pairs), rc::kNotOpen);
  EXPECT_EQ(value, "kept");
}

TEST(CLevelDbTest, OpensInMissingNestedFoldersAndKeepsPairsAcrossReopen) {
  TempDir dir;
  const std::string path = (dir.path() / "db" / "sitemap" / "setup").string();
  {
    CLevelDb db;
    ASSERT_EQ(db.Open(path), rc::kOk) << db.lastError();
    EXPECT_EQ(db.isOpen(), 1);
    EXPECT_EQ(db.openPath(), path);
    ASSERT_EQ(db.Put("/a", "1"), rc::kOk);
    ASSERT_EQ(db.WriteAll({{"/b", "2"}, {"/c", std::string("x\0y", 3)}}), rc::kOk);
  }
  CLevelDb db;
  ASSERT_EQ(db.Open(path), rc::kOk);
  std::string value;
  ASSERT_EQ(db.Get("/c", &value), rc::kOk);
  EXPECT_EQ(value, std::string("x\0y", 3));
  EXPECT_EQ(db.Contains("/a"), 1);
  EXPECT_EQ(db.Contains("/A"), 0);

  std::map<std::string, std::string> pairs{{"/b", "mine"}};
  ASSERT_EQ(db.ReadAll(pairs), rc::kOk);
  EXPECT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs["/a"], "1");
  EXPECT_EQ(pairs["/b"], "mine");  // the map's own value wins
}

TEST(CLevelDbTest, MissingKeyIsAReadErrorWithItsText) {
  TempDir dir;
  CLevelDb db;
  ASSERT_EQ(db.Open(dir.str()), rc::kOk);
  std::string value = "kept";
  EXPECT_EQ(db.Get("nothing", &value), rc::kDbRead);
  EXPECT_FALSE(db.lastError().empty());
}

TEST(CLevelDbTest, SameFolderInOtherCaseStaysOpenAnotherFolderReplacesIt) {
  TempDir dir;
  const std::string first = (dir.path() / "Store").string();
  const std::string upper = (dir.path() / "STORE").string();
  CLevelDb db;
  ASSERT_EQ(db.Open(first), rc::kOk);
  ASSERT_EQ(db.Put("k", "v"), rc::kOk);
  EXPECT_EQ(db.Open(upper), rc::kOk);
  EXPECT_EQ(db.openPath(), first);  // not reopened: the folder in the other case was never made
  EXPECT_FALSE(std::filesystem::exists(upper) && !std::filesystem::equivalent(upper, first));
  EXPECT_EQ(db.Contains("k"), 1);

  const std::string second = (dir.path() / "other").string();
  ASSERT_EQ(db.Open(second), rc::kOk);
  EXPECT_EQ(db.openPath(), second);
  EXPECT_EQ(db.Contains("k"), 0);
  ASSERT_EQ(db.Open(first), rc::kOk);  // the lock of the first was given up with its handle
  EXPECT_EQ(db.Contains("k"), 1);
}

TEST(CLevelDbTest, PlainFileInTheWayFailsAndLeavesItClosed) {
  TempDir dir;
  const auto file = dir.path() / "plain";
  std::ofstream(file) << "not a database";
  CLevelDb db;
  ASSERT_EQ(db.Open((dir.path() / "ok").string()), rc::kOk);
  EXPECT_EQ(db.Open(file.string()), rc::kDbOpen);
  EXPECT_EQ(db.isOpen(), 0);
  EXPECT_TRUE(db.openPath().empty());
  EXPECT_FALSE(db.lastError().empty());
  EXPECT_EQ(db.Open((file / "below").string()), rc::kDbOpen);
  EXPECT_EQ(db.Put("k", "v"), rc::kNotOpen);
}

TEST(CLevelDbTest, SecondHandleOnAnOpenFolderIsRefused) {
  TempDir dir;
  CLevelDb a, b;
  ASSERT_EQ(a.Open(dir.str()), rc::kOk);
  EXPECT_EQ(b.Open(dir.str()), rc::kDbOpen);
  a.Close();
  EXPECT_EQ(a.isOpen(), 0);
  EXPECT_EQ(b.Open(dir.str()), rc::kOk);
}
