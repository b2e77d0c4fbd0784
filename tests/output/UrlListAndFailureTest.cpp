#include <gtest/gtest.h>

#include <filesystem>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"
#include "output/UrlListFile.h"
#include "support/TempDir.h"
#include "web/StatusTextTable.h"

TEST(FailureReportTest, DescriptionComesFromTheStatusTableOrIsNetworkError) {
  ASSERT_NE(StatusText("404"), nullptr);
  EXPECT_EQ(FailureDescription("404"), AnsiToWide(*StatusText("404")));
  EXPECT_FALSE(FailureDescription("404").empty());
  EXPECT_EQ(FailureDescription("-70"), L"网络错误");
  EXPECT_EQ(FailureDescription("999"), L"网络错误");
  EXPECT_EQ(FailureDescription(""), L"");
}

TEST(UrlListFileTest, SavedListIsTrimmedGbkWithCrLfBetweenAddresses) {
  TempDir dir;
  const std::string file = (dir.path() / "list.txt").string();
  std::wstring box = UrlListLine("http://a/1") + UrlListLine("http://a/\xcd\xf8");
  EXPECT_EQ(box, L"http://a/1\r\nhttp://a/网\r\n");
  EXPECT_EQ(SaveUrlListFile(file, L"  " + box), rc::kOk);
  EXPECT_EQ(ReadFileBytes(file), "http://a/1\r\nhttp://a/\xcd\xf8");
  EXPECT_EQ(SaveUrlListFile(file, L""), rc::kOk);  // an empty list gives an empty file
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(ReadFileBytes(file), "");
}

TEST(UrlListFileTest, UnconvertibleTextIsKeptAndUnopenableFilesLeaveNothing) {
  TempDir dir;
  const std::string file = (dir.path() / "list.txt").string();
  EXPECT_EQ(SaveUrlListFile(file, L"http://a/\U0001F600\r\nhttp://b/"), rc::kOk);
  EXPECT_EQ(ReadFileBytes(file), "http://a/?\r\nhttp://b/");
  EXPECT_EQ(UrlListLine(std::string("http://a/\xff", 10)), L"http://a/%FF\r\n");
  EXPECT_EQ(SaveUrlListFile((dir.path() / "missing" / "x.txt").string(), L"a"), rc::kFileOpen);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}
