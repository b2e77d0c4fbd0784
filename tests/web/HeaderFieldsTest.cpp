#include <gtest/gtest.h>

#include "common/TextCodec.h"
#include "web/HeaderFields.h"
#include "web/StatusTextTable.h"

namespace {

const std::string kBlock =
    "HTTP/1.1 200 OK\r\n"
    "Server: nginx/1.22\r\n"
    "Content-Type: text/html; charset=UTF-8\r\n"
    "Content-Length: 1234\r\n"
    "Set-Cookie: id=42; Path=/\r\n"
    "Content-Encoding: gzip\r\n"
    "Last-Modified: Tue, 08 Dec 2026 10:00:00 GMT";

TEST(HeaderFields, StatusIsTheThreeDigitsAfterTheFirstHttpInAnyCase) {
  EXPECT_EQ(ExtractHeaderField("HTTP/1.1 404 Not Found\r\nServer: x", kFieldStatus), "404");
  EXPECT_EQ(ExtractHeaderField("http/1.0 200 ok", kFieldStatus), "200");
  // After a redirect the block is the first response's.
  EXPECT_EQ(ExtractHeaderField("HTTP/1.1 301 Moved\r\nLocation: /b", kFieldStatus), "301");
  EXPECT_EQ(ExtractHeaderField("garbage without a status", kFieldStatus), "");
  EXPECT_EQ(ExtractHeaderField("", kFieldStatus), "");
}

TEST(HeaderFields, LineValuesStopAtTheLineEndWithoutTheCarriageReturn) {
  EXPECT_EQ(ExtractHeaderField(kBlock, kFieldCharset), "UTF-8");
  EXPECT_EQ(ExtractHeaderField(kBlock, kFieldCookie), "id=42; Path=/");
  EXPECT_EQ(ExtractHeaderField(kBlock, kFieldContentEncoding), "gzip");
  EXPECT_EQ(ExtractHeaderField(kBlock, kFieldServer), "nginx/1.22");
  EXPECT_EQ(ExtractHeaderField(kBlock, kFieldContentLength), "1234");
}

TEST(HeaderFields, FieldOnTheLastLineWithoutLineEndIsFound) {
  EXPECT_EQ(ExtractHeaderField(kBlock, kFieldLastModified), "Tue, 08 Dec 2026 10:00:00 GMT");
  EXPECT_EQ(ExtractHeaderField("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8", kFieldCharset),
            "utf-8");
  EXPECT_EQ(ExtractHeaderField("HTTP/1.1 200 OK\nContent-Type: text/html; charset=gb2312\n", kFieldCharset),
            "gb2312");
}

TEST(HeaderFields, CharsetIsTheParameterAloneAndABlockMayStartWithoutItsStatusLine) {
  EXPECT_EQ(ExtractHeaderField("Content-Type: text/html; charset=UTF-8; q=1\r\nX: y", kFieldCharset), "UTF-8");
  EXPECT_EQ(ExtractHeaderField("CONTENT-TYPE: TEXT/HTML; CHARSET=GBK\r\n", kFieldCharset), "GBK");
}

TEST(HeaderFields, AbsentFieldsAndUnknownKindsGiveEmptyText) {
  EXPECT_EQ(ExtractHeaderField("HTTP/1.1 200 OK\r\nContent-Type: text/html", kFieldCharset), "");
  EXPECT_EQ(ExtractHeaderField(kBlock, 7), "");
  EXPECT_EQ(ExtractHeaderField(kBlock, -1), "");
  // An empty value does not reach into the next line.
  EXPECT_EQ(ExtractHeaderField("Server:\r\nX-Other: y", kFieldServer), "");
}

TEST(StatusTextTable, HoldsTodaysRegisteredCodesWithTheirTexts) {
  EXPECT_EQ(StatusTextTable().size(), 60u);
  ASSERT_NE(StatusText("200"), nullptr);
  EXPECT_EQ(*StatusText("200"), "成功");
  EXPECT_EQ(*StatusText("404"), "资源或网页没有找到");
  EXPECT_EQ(*StatusText("505"), "HTTP版本不符");
  // A site that asks the crawler to slow down is not a network error.
  ASSERT_NE(StatusText("429"), nullptr);
  EXPECT_EQ(*StatusText("429"), "请求过多");
  EXPECT_EQ(*StatusText("421"), "请求发给了错误的服务器");
  EXPECT_EQ(*StatusText("425"), "请求过早");
  for (const char* registered : {"208", "226", "428", "431", "451", "508", "511"})
    EXPECT_NE(StatusText(registered), nullptr) << registered;
  EXPECT_EQ(*StatusText("401"), "Unauthorized 需要用户验证");
  ASSERT_NE(StatusText("429"), nullptr);
  EXPECT_EQ(*StatusText("429"), "请求过多");
  ASSERT_NE(StatusText("307"), nullptr);
  EXPECT_EQ(*StatusText("302"), *StatusText("307"));
  // Redirects are listed as failures, so the permanent one of today has its text too.
  ASSERT_NE(StatusText("308"), nullptr);
  EXPECT_EQ(*StatusText("308"), *StatusText("301"));
}

TEST(StatusTextTable, CodesOutsideTheTableHaveNoEntry) {
  for (const char* code : {"418", "-70", "209", "309", "512", "", "7"})
    EXPECT_EQ(StatusText(code), nullptr) << code;
}

}  // namespace
