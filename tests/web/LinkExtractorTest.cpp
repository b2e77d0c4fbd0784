#include <gtest/gtest.h>

#include <boost/thread/thread.hpp>

#include <vector>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "web/LinkExtractor.h"
#include "web/ParserInput.h"

namespace {

const std::string kHost = "www.example.com";
const std::string kUtf8Headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8";
const std::string kGbHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gb2312";

struct Links {
  StringISet internal;
  StringISet external;
  int32_t code = 0;
};

Links Extract(const std::string& body, const std::string& headers = "HTTP/1.1 200 OK") {
  Links l;
  l.code = ExtractLinks(l.external, headers, kHost, body, l.internal);
  return l;
}

std::string Page(const std::string& bodyContent) {
  return "\r\n\r\n<!DOCTYPE html><html><head><title>t</title></head><body>" + bodyContent +
         "</body></html>";
}

std::vector<std::string> Items(const StringISet& set) { return {set.begin(), set.end()}; }

TEST(ExtractLinks, SortsAnchorsIntoSamesitePathsAndExternalLinks) {
  const Links l = Extract(Page(
      "<a href=\"http://www.example.com/a/b.html?x=1#top\">1</a>"
      "<div><p><a href='https://example.com/a'>2</a></p></div>"
      "<a href=\"http://example.org/x\">3</a>"
      "<a href=\"b.html\">4</a><a href=\"../c.html\">5</a><a href=\"#top\">6</a>"
      "<a href=\"?p=2\">7</a><a href=\"/x.html\">8</a><a href=\"//c.example.com/x\">9</a>"
      "<a href=\"JavaScript:void(0)\">10</a><a href=\"javascriptfile.html\">11</a>"
      "<a href=\"MAILTO:x@example.com\">12</a><a href=\"www.example.com/d.html\">13</a>"
      "<a href=\"example.org/x\">14</a><a href=\"http://www.example.com:8080/x\">15</a>"
      "<a href=\"http://H/x\">16</a><a name=\"n\">17</a><a href=\"\">18</a>"));
  EXPECT_EQ(l.code, rc::kOk);
  EXPECT_EQ(Items(l.internal),
            (std::vector<std::string>{"/#top", "/../c.html", "//c.example.com/x", "/?p=2", "/a",
                                      "/a/b.html?x=1#top", "/b.html", "/d.html", "/example.org/x",
                                      "/x.html", ":8080/x"}));
  EXPECT_EQ(Items(l.external), (std::vector<std::string>{"http://example.org/x", "http://H/x"}));
}

TEST(ExtractLinks, OnlyAnchorsCountAndCaseVariantsAreOneEntry) {
  const Links l = Extract(
      "\r\n\r\n<html><head><link href=\"/style.css\"></head><body>"
      "<script>document.write('<a href=\"/js.html\">');</script><!-- <a href=\"/c.html\"> -->"
      "<img src=\"/i.png\"><area href=\"/area.html\"><iframe src=\"/f.html\"></iframe>"
      "<a href=\"/Page.html\">a</a><a href=\"/page.HTML\">b</a>"
      "<a href=\"/first.html\" href=\"/second.html\">c</a>"
      "<a href=\"http://www.example.com\">root</a></body></html>");
  EXPECT_EQ(l.code, rc::kOk);
  // The root link gives the empty path, which the crawl ignores. Of repeated attributes Tidy
  // keeps the last.
  EXPECT_EQ(Items(l.internal), (std::vector<std::string>{"", "/Page.html", "/second.html"}));
}

TEST(ExtractLinks, NonAsciiLinksArePercentEncodedAsUtf8OnUtf8AndGbPages) {
  const std::string utf8Page = Page("<a href=\"/中文.html\">x</a><a href=\"/a b.html\">y</a>");
  const Links fromUtf8 = Extract(utf8Page, kUtf8Headers);
  const Links fromGb = Extract(Utf8ToAnsi(utf8Page), kGbHeaders);
  const std::vector<std::string> expected{"/%E4%B8%AD%E6%96%87.html", "/a%20b.html"};
  EXPECT_EQ(Items(fromUtf8.internal), expected);
  EXPECT_EQ(Items(fromGb.internal), expected);
}

TEST(ExtractLinks, EncodedAndEntityLinksKeepWhatABrowserWouldRequest) {
  const Links l = Extract(Page(
      "<a href=\"/%E4%B8%AD.html\">1</a><a href=\"/q?a=1&amp;b=2\">2</a>"
      "<a href=\"/r?a=1&reg=2&copy=3\">3</a><a href=\"/&#x41;.html\">4</a>"
      "<a href=\"  /padded.html \">5</a>"
      "<a href=\"http://example.org/外\">7</a>"));
  EXPECT_EQ(Items(l.internal),
            (std::vector<std::string>{"/%E4%B8%AD.html", "/A.html", "/padded.html", "/q?a=1&b=2",
                                      "/r?a=1&reg=2&copy=3"}));
  // External links keep the page's own bytes.
  EXPECT_EQ(Items(l.external), (std::vector<std::string>{"http://example.org/\xe5\xa4\x96"}));
}

TEST(ExtractLinks, PagesWithoutLinksOrBodyGiveNothing) {
  EXPECT_EQ(Extract("\r\n\r\nplain text, no markup").internal.size(), 0u);
  EXPECT_EQ(Extract("\r\n\r\n").internal.size(), 0u);
  EXPECT_EQ(Extract("").internal.size(), 0u);
  // A body declared UTF-8 that converts to nothing yields no links.
  EXPECT_EQ(Extract("\xff\xfe", kUtf8Headers).internal.size(), 0u);
}

TEST(ExtractLinks, DeeplyNestedPageOnASmallStackKeepsDocumentOrder) {
  const int kDepth = 100000;
  std::string body = "\r\n\r\n<html><body><a href=\"/top.html\">t</a>";
  body.reserve(kDepth * 12);
  for (int i = 0; i < kDepth; ++i) body += (i % 2) ? "<span>" : "<div>";
  body += "<a href=\"/deep.html\">d</a>";
  for (int i = kDepth - 1; i >= 0; --i) body += (i % 2) ? "</span>" : "</div>";
  body += "<a href=\"/after.html\">a</a></body></html>";

  Links l;
  boost::thread::attributes attrs;
  attrs.set_stack_size(256 * 1024);
  boost::thread worker(attrs, [&] { l.code = ExtractLinks(l.external, "", kHost, body, l.internal); });
  worker.join();
  EXPECT_EQ(l.code, rc::kOk);
  EXPECT_EQ(Items(l.internal), (std::vector<std::string>{"/after.html", "/deep.html", "/top.html"}));
}

TEST(ParserInput, NestingEstimateIsAnUpperBound) {
  EXPECT_EQ(EstimateNestingDepth("<div><p>a</p><br><img src=x></div>"), 2u);
  EXPECT_EQ(EstimateNestingDepth("<p title='<b><b>'><script>if (a<b) x='<div>';</script><!--<i>-->"), 2u);
  // Stray end tags close nothing, so they cannot hide nesting.
  EXPECT_EQ(EstimateNestingDepth("<div></span><div></b><div>"), 3u);
  EXPECT_EQ(EstimateNestingDepth("<ul><li>a<li>b</ul><p>"), 3u);
  EXPECT_EQ(EstimateNestingDepth("a < b and 1<2 </x>"), 0u);
}

TEST(ParserInput, FlatteningTakesOutOnlyTheTagsBeyondTheDepth) {
  EXPECT_EQ(FlattenNesting("<div><p><b>x</b><a href='/a'><i>y</i></a></p></div><p>z</p>", 2),
            "<div><p>x<a href='/a'>y</a></p></div><p>z</p>");
  const std::string shallow = "<ul><li><a href=/x>x</a></li></ul>";
  EXPECT_EQ(FlattenNesting(shallow, 5), shallow);
}

TEST(ParserInput, OnlyBareReferenceNamesBeforeEqualsAreEscaped) {
  std::string out;
  EXPECT_FALSE(EscapeBareReferenceNames("a &amp; b &copy; ?x=1&y", out));
  ASSERT_TRUE(EscapeBareReferenceNames("?a=1&reg=2&amp;c=3&x", out));
  EXPECT_EQ(out, "?a=1&amp;reg=2&amp;c=3&x");
}

}  // namespace
