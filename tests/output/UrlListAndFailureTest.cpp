#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "common/Status.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"
#include "output/UrlListFile.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "web/CHttpSession.h"
#include "web/StatusTextTable.h"
#include "web/TransferFailure.h"

namespace {

bool HasChinese(const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const size_t length = Utf8SequenceAt(text, at, &c);
    if (length == 0) return false;
    if (c >= 0x4E00 && c <= 0x9FFF) return true;
    at += length;
  }
  return false;
}

}  // namespace

TEST(FailureReportTest, StatusCodesUseTheStatusTableAndCodesNobodyKnowsTheDefault) {
  ASSERT_NE(StatusText("404"), nullptr);
  EXPECT_EQ(FailureDescription("404"), *StatusText("404"));
  EXPECT_FALSE(FailureDescription("404").empty());
  EXPECT_EQ(FailureDescription("999"), "网络错误");
  EXPECT_EQ(FailureDescription("418"), "网络错误");
  EXPECT_EQ(FailureDescription("-10000"), "网络错误");
  EXPECT_EQ(FailureDescription("-99999999999"), "网络错误");
  EXPECT_EQ(FailureDescription("curl 0"), "网络错误");
  EXPECT_EQ(FailureDescription(""), "");
}

TEST(FailureReportTest, TransferAndClientFailuresAreDescribedInChineseAndRareOnesInLibcurlsWords) {
  std::set<std::string> seen;
  for (int code : {6, 7, 28, 35, 47, 52, 55, 56, 60, 77}) {
    std::string text = FailureDescription("curl " + std::to_string(code));
    EXPECT_TRUE(HasChinese(text)) << code;
    EXPECT_NE(text, "网络错误") << code;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 10u);  // each cause has words of its own
  EXPECT_NE(FailureDescription("curl 6").find("主机"), std::string::npos);
  EXPECT_NE(FailureDescription("curl 60").find("证书"), std::string::npos);

  EXPECT_EQ(FailureDescription("curl 9"), curl_easy_strerror(CURLE_REMOTE_ACCESS_DENIED));
  EXPECT_EQ(FailureDescription("curl 63"), curl_easy_strerror(CURLE_FILESIZE_EXCEEDED));
  EXPECT_FALSE(FailureDescription("curl 9999").empty());  // a code newer than this program

  // The client's own codes say what went wrong.
  for (const char* code : {"-70", "-105", "-110", "-220"}) {
    EXPECT_TRUE(HasChinese(FailureDescription(code))) << code;
    EXPECT_NE(FailureDescription(code), "网络错误") << code;
  }
}

TEST(FailureReportTest, RealTransfersThatGetNoHttpAnswerAreListedWithCodeAndDescription) {
  LoopbackServer server;
  server.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop", 302); });
  ASSERT_TRUE(server.Start());
  std::string headers, body;
  std::string loopCode;
  {
    // Closed before the server stops, so the server need not wait for its connection.
    CHttpSession loop(server.origin() + "/loop");
    loopCode = TransferFailureCode(loop.Fetch(headers, body));
  }
  EXPECT_EQ(loopCode, "curl 47");
  EXPECT_NE(FailureDescription(loopCode).find("重定向"), std::string::npos);

  const std::string address = server.origin() + "/";
  server.Stop();
  CHttpSession refused(address);
  std::string refusedCode = TransferFailureCode(refused.Fetch(headers, body));
  EXPECT_EQ(refusedCode, "curl 7");
  EXPECT_NE(FailureDescription(refusedCode).find("连接"), std::string::npos);
}

TEST(UrlListFileTest, SavedListIsTrimmedUtf8WithCrLfBetweenAddresses) {
  TempDir dir;
  const std::string file = (dir.path() / "list.txt").string();
  std::string box = UrlListLine("http://a/1") + UrlListLine("http://a/网");
  EXPECT_EQ(box, "http://a/1\r\nhttp://a/网\r\n");
  EXPECT_TRUE(SaveUrlListFile(file, "  " + box).ok());
  EXPECT_EQ(ReadFileBytes(file), "http://a/1\r\nhttp://a/网");
  EXPECT_TRUE(SaveUrlListFile(file, "").ok());  // an empty list gives an empty file
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(ReadFileBytes(file), "");
}

TEST(UrlListFileTest, UnconvertibleTextIsKeptAndUnopenableFilesLeaveNothing) {
  TempDir dir;
  const std::string file = (dir.path() / "list.txt").string();
  // The box's text is written as it is, four-byte characters included.
  EXPECT_TRUE(SaveUrlListFile(file, "http://a/\U0001F600\r\nhttp://b/\n").ok());
  EXPECT_EQ(ReadFileBytes(file), "http://a/\U0001F600\r\nhttp://b/");
  EXPECT_EQ(UrlListLine(std::string("http://a/\xff", 10)), "http://a/%FF\r\n");
  FileWriteResult failure;
  const std::filesystem::path missing = dir.path() / "missing" / "x.txt";
  EXPECT_EQ(SaveUrlListFile(missing.string(), "a", &failure).code(), StatusCode::kFileOpen);
  EXPECT_EQ(failure.path, missing.string());
  EXPECT_EQ(failure.systemError, ENOENT);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}
