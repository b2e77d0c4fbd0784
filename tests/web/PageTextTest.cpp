#include <gtest/gtest.h>

#include "common/TextCodec.h"
#include "support/GbkText.h"
#include "web/PageText.h"
#include "web/ResponseHeaders.h"

namespace {

const std::string kUtf8 = "\xc3\xbc-\xf0\x9f\x98\x80 \xd0\x96 \xe4\xb8\xad";  // ü-😀 Ж 中

std::string Body(const std::string& html) { return "\r\n\r\n" + html; }
std::string Headers(const std::string& contentType) {
  return "HTTP/1.1 200 OK\r\nContent-Type: " + contentType + "\r\nServer: t";
}

TEST(PageText, ValidUtf8IsUsedAsItIsWithoutACopy) {
  const std::string body = Body("<p>" + kUtf8 + "</p>");
  for (const std::string& headers : {Headers("text/html; charset=UTF-8"), Headers("text/html"), std::string()}) {
    PageText text(headers, body);
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(&text.utf8(), &body) << headers;
    EXPECT_EQ(text.charset(), "UTF-8");
  }
}

TEST(PageText, TheHeaderTheMetaElementAndTheBytesDecideInThatOrder) {
  const std::string gbk = GbkOf("<p>中文</p>");
  PageText fromHeader(Headers("text/html; charset=\"GB2312\""), Body(gbk));
  EXPECT_EQ(fromHeader.charset(), "GB18030");
  EXPECT_EQ(fromHeader.utf8(), "<p>\xe4\xb8\xad\xe6\x96\x87</p>");

  const std::string metaOnly = Body("<html><head><!-- <meta charset=utf-8> --><meta charset='gbk'></head>" + gbk);
  PageText fromMeta(Headers("text/html"), metaOnly);
  EXPECT_EQ(fromMeta.charset(), "GB18030");
  EXPECT_NE(fromMeta.utf8().find("\xe4\xb8\xad\xe6\x96\x87"), std::string::npos);

  const std::string pragma =
      Body("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\">\xc6");
  PageText fromPragma("", pragma);
  EXPECT_EQ(fromPragma.charset(), "WINDOWS-1251");
  EXPECT_EQ(fromPragma.utf8().substr(fromPragma.utf8().size() - 2), "\xd0\x96");

  // The header wins over the page's own claim.
  PageText both(Headers("text/html; charset=utf-8"), Body("<meta charset=gbk><p>" + kUtf8));
  EXPECT_EQ(both.charset(), "UTF-8");

  // Bytes that are no UTF-8 and nothing declared: read as GB18030, as Chinese sites need.
  PageText guessed("", Body(gbk));
  EXPECT_EQ(guessed.charset(), "GB18030");
  EXPECT_EQ(guessed.utf8(), "<p>\xe4\xb8\xad\xe6\x96\x87</p>");
}

TEST(PageText, AnUnknownLabelIsPassedOverAsBrowsersDo) {
  PageText text(Headers("text/html; charset=x-no-such-set"), Body("<meta charset=utf-8><p>" + kUtf8));
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text.charset(), "UTF-8");
  PageText nothingKnown(Headers("text/html; charset=bogus"), Body("<meta charset=bogus2>" + kUtf8));
  EXPECT_EQ(nothingKnown.charset(), "UTF-8");
}

TEST(PageText, AByteOrderMarkDecidesBeforeEverythingElse) {
  PageText utf8(Headers("text/html; charset=iso-8859-1"), Body("\xef\xbb\xbf<p>" + kUtf8));
  EXPECT_EQ(utf8.charset(), "UTF-8");
  EXPECT_EQ(utf8.utf8(), "<p>" + kUtf8);
  const std::string utf16 = std::string("\xff\xfe<\0a\0>\0", 8);
  PageText wide("", Body(utf16));
  EXPECT_EQ(wide.charset(), "UTF-16LE");
  EXPECT_EQ(wide.utf8(), "<a>");
}

TEST(PageText, InvalidSequencesAreDroppedAndTheRestKept) {
  PageText text(Headers("text/html; charset=utf-8"), Body("a\xff" "b\xc3(c" + kUtf8));
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text.utf8(), "ab(c" + kUtf8);
}

TEST(PageText, StrictUtf8RefusesOverlongSurrogateAndOutOfRangeForms) {
  EXPECT_TRUE(IsValidUtf8(kUtf8));
  for (const std::string bad : {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe4\xb8", "\x80"})
    EXPECT_FALSE(IsValidUtf8(bad));
}

TEST(ResponseHeaders, FieldsAreFoundWhateverTheirCaseAndSpacing) {
  const ResponseHeaders h(
      "HTTP/1.1 301 Moved\r\nlocation:   /next.html  \r\nContent-Type: text/HTML ; Charset = \"gbk\"\r\n"
      "X-Long: one\r\n two\r\nLast-Modified: Tue, 15 Nov 1994 08:12:31 GMT");
  EXPECT_EQ(h.Field("Location"), "/next.html");
  EXPECT_EQ(h.Field("x-long"), "one two");
  EXPECT_EQ(h.Field("Last-Modified"), "Tue, 15 Nov 1994 08:12:31 GMT");
  EXPECT_EQ(h.Field("Missing"), "");
  EXPECT_EQ(h.MediaType(), "text/html");
  EXPECT_EQ(h.Charset(), "gbk");
  EXPECT_TRUE(h.IsHtml());
}

TEST(ResponseHeaders, OnlyHtmlXhtmlOrAnUntypedBodyIsAPage) {
  EXPECT_TRUE(ResponseHeaders("HTTP/1.1 200 OK").IsHtml());
  EXPECT_TRUE(ResponseHeaders("HTTP/1.1 200 OK\r\nContent-Type: application/xhtml+xml").IsHtml());
  EXPECT_FALSE(ResponseHeaders("HTTP/1.1 200 OK\r\nContent-Type: text/css").IsHtml());
  EXPECT_FALSE(ResponseHeaders("HTTP/1.1 200 OK\r\nContent-Type: image/png").IsHtml());
  EXPECT_FALSE(ResponseHeaders("HTTP/1.1 200 OK\r\nContent-Type: application/javascript; charset=utf-8").IsHtml());
  // The status line is no field, whatever it holds.
  EXPECT_FALSE(ResponseHeaders("HTTP/1.1 200 Content-Type: x").Has("Content-Type"));
}

}  // namespace
