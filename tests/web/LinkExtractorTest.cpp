#include <gtest/gtest.h>

#include <boost/thread/thread.hpp>

#include <algorithm>
#include <cctype>
#include <vector>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "support/GbkText.h"
#include "web/LinkExtractor.h"
#include "web/PageLinks.h"
#include "web/PageText.h"
#include "web/LinkMarkup.h"
#include "web/MarkupPieces.h"
#include "web/ParserInput.h"

namespace {

const SiteOrigin kSite{"http", "www.example.com", ""};
const std::string kPageAddress = "http://www.example.com/dir/page.html";
const std::string kUtf8Headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8";

struct Links {
  PageLinks links;
  int32_t code = 0;
};

Links Extract(const std::string& body, const std::string& headers = "HTTP/1.1 200 OK",
              const std::string& address = kPageAddress) {
  Links l;
  l.code = ExtractLinks(headers, body, kSite, address, l.links);
  return l;
}

std::string Page(const std::string& bodyContent, const std::string& head = "") {
  return "\r\n\r\n<!DOCTYPE html><html><head><title>t</title>" + head + "</head><body>" + bodyContent +
         "</body></html>";
}

std::vector<std::string> Items(const LinkSet& set) { return {set.begin(), set.end()}; }

TEST(ExtractLinks, ResolvesAnchorsAgainstThePageAndSortsThemBySite) {
  const Links l = Extract(Page(
      "<a href=\"http://www.example.com/a/b.html?x=1#top\">1</a>"
      "<div><p><a href='https://example.com/a'>2</a></p></div>"
      "<a href=\"http://example.org/x\">3</a>"
      "<a href=\"b.html\">4</a><a href=\"../c.html\">5</a><a href=\"#top\">6</a>"
      "<a href=\"?p=2\">7</a><a href=\"/x.html\">8</a><a href=\"//c.example.com/x\">9</a>"
      "<a href=\"JavaScript:void(0)\">10</a><a href=\"javascriptfile.html\">11</a>"
      "<a href=\"MAILTO:x@example.com\">12</a><a href=\"tel:123\">13</a>"
      "<a href=\"data:text/html,x\">14</a><a href=\"ftp://example.com/f\">15</a>"
      "<a href=\"http://www.example.com:8080/x\">16</a><a href=\"//www.example.com/p\">17</a>"
      "<a name=\"n\">18</a><a href=\"\">19</a>"));
  EXPECT_EQ(l.code, rc::kOk);
  EXPECT_EQ(Items(l.links.internal),
            (std::vector<std::string>{"/a", "/a/b.html?x=1", "/c.html", "/dir/b.html", "/dir/javascriptfile.html",
                                      "/dir/page.html", "/dir/page.html?p=2", "/p", "/x.html"}));
  EXPECT_EQ(Items(l.links.external),
            (std::vector<std::string>{"http://c.example.com/x", "http://example.org/x",
                                      "http://www.example.com:8080/x"}));
}

TEST(ExtractLinks, ABaseElementMovesWhereRelativeLinksPoint) {
  const Links l = Extract(Page("<a href=\"a.html\">1</a><a href=\"/abs.html\">2</a><a href=\"#f\">3</a>",
                               "<base href=\"/other/\"><base href=\"/ignored/\">"));
  EXPECT_EQ(Items(l.links.internal), (std::vector<std::string>{"/abs.html", "/other/", "/other/a.html"}));
  const Links away = Extract(Page("<a href=\"a.html\">1</a>", "<base href=\"http://cdn.example.net/d/\">"));
  EXPECT_TRUE(away.links.internal.empty());
  EXPECT_EQ(Items(away.links.external), (std::vector<std::string>{"http://cdn.example.net/d/a.html"}));
  // A base that is no web address is passed over.
  const Links bad = Extract(Page("<a href=\"a.html\">1</a>", "<base href=\"mailto:x@example.com\">"));
  EXPECT_EQ(Items(bad.links.internal), (std::vector<std::string>{"/dir/a.html"}));
}

TEST(ExtractLinks, OnlyAnchorsCountAndLetterCaseMakesTwoPages) {
  const Links l = Extract(
      "\r\n\r\n<html><head><link href=\"/style.css\"><a href=\"/in-head.html\"></a></head><body>"
      "<script>document.write('<a href=\"/js.html\">');</script><!-- <a href=\"/c.html\"> -->"
      "<img src=\"/i.png\"><area href=\"/area.html\"><iframe src=\"/f.html\"></iframe>"
      "<a href=\"/Upper.html\">u</a><a href=\"/upper.html\">l</a><a href=\"/upper.html\">again</a>"
      "</body></html>");
  EXPECT_EQ(Items(l.links.internal), (std::vector<std::string>{"/Upper.html", "/in-head.html", "/upper.html"}));
}

TEST(ExtractLinks, NoCharacterOfALinkIsLost) {
  const std::string utf8Page = Page("<a href=\"/\xc3\xbc-\xf0\x9f\x98\x80.html\">x</a><a href=\"/a b.html\">y</a>"
                                    "<a href=\"/\xd0\x96/\xc3\xa9.html\">z</a>");
  const Links fromUtf8 = Extract(utf8Page, kUtf8Headers);
  const std::vector<std::string> expected{"/%C3%BC-%F0%9F%98%80.html", "/%D0%96/%C3%A9.html", "/a%20b.html"};
  EXPECT_EQ(Items(fromUtf8.links.internal), expected);
  // Undeclared: valid UTF-8 is read as UTF-8.
  EXPECT_EQ(Items(Extract(utf8Page).links.internal), expected);
  // A GBK page that names its set only in a meta element.
  const std::string gbPage = GbkOf(Page("<a href=\"/中文.html\">x</a>", "<meta charset=\"gb2312\">"));
  EXPECT_EQ(Items(Extract(gbPage, "HTTP/1.1 200 OK\r\nContent-Type: text/html").links.internal),
            (std::vector<std::string>{"/%E4%B8%AD%E6%96%87.html"}));
}

TEST(ExtractLinks, EncodedAndEntityLinksKeepWhatABrowserWouldRequest) {
  const Links l = Extract(Page(
      "<a href=\"/%E4%B8%AD.html\">1</a><a href=\"/q?a=1&amp;b=2\">2</a>"
      "<a href=\"/r?a=1&reg=2&copy=3\">3</a><a href=\"/&#x41;.html\">4</a>"
      "<a href=\"  /padded.html \">5</a><a href=\"/&eacute;t&#233;.html\">6</a>"
      "<a href=\"http://example.org/\xe5\xa4\x96\">7</a>"));
  EXPECT_EQ(Items(l.links.internal),
            (std::vector<std::string>{"/%C3%A9t%C3%A9.html", "/%E4%B8%AD.html", "/A.html", "/padded.html",
                                      "/q?a=1&b=2", "/r?a=1&reg=2&copy=3"}));
  EXPECT_EQ(Items(l.links.external), (std::vector<std::string>{"http://example.org/%E5%A4%96"}));
}

TEST(ExtractLinks, TabsAndLineBreaksInsideAnHrefAreRemovedAsABrowserRemovesThem) {
  const Links l = Extract(Page("<a href=\"/a\tb.html\">1</a><a HREF='/c\r\nd.html'>2</a>"
                               "<a title=\"t\tt\" href = \"/e\n.html?q=\tx\">3</a><a href=\"/a b.html\">4</a>"
                               "<base data-href=\"/\tno\">"));
  EXPECT_EQ(Items(l.links.internal),
            (std::vector<std::string>{"/a%20b.html", "/ab.html", "/cd.html", "/e.html?q=x"}));
  // Only href values lose them: other attributes keep their bytes.
  EXPECT_EQ(WithoutCharacterData("<p title=\"t\tt\" data-href='a\tb'><a href='a\tb'>"),
            "<p title=\"t\tt\" data-href='a\tb'><a href='ab'>");
}

TEST(ExtractLinks, OnlyHtmlResponsesAreParsed) {
  const std::string body = Page("<a href=\"/a.html\">a</a>");
  EXPECT_EQ(Extract(body, "HTTP/1.1 200 OK\r\nContent-Type: text/html").links.internal.size(), 1u);
  EXPECT_EQ(Extract(body, "HTTP/1.1 200 OK\r\nContent-Type: application/xhtml+xml").links.internal.size(), 1u);
  for (const char* type : {"text/css", "application/javascript", "image/svg+xml", "text/plain"}) {
    const Links l = Extract(body, std::string("HTTP/1.1 200 OK\r\nContent-Type: ") + type);
    EXPECT_EQ(l.code, rc::kOk);
    EXPECT_TRUE(l.links.internal.empty()) << type;
  }
}

TEST(ExtractLinks, PagesWithoutLinksOrBodyGiveNothing) {
  EXPECT_EQ(Extract("\r\n\r\nplain text, no markup").links.internal.size(), 0u);
  EXPECT_EQ(Extract("\r\n\r\n").links.internal.size(), 0u);
  EXPECT_EQ(Extract("").links.internal.size(), 0u);
  EXPECT_EQ(Extract("\xff\xfe", kUtf8Headers).links.internal.size(), 0u);
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
  boost::thread worker(attrs, [&] { l = Extract(body, ""); });
  worker.join();
  EXPECT_EQ(l.code, rc::kOk);
  EXPECT_EQ(Items(l.links.internal), (std::vector<std::string>{"/after.html", "/deep.html", "/top.html"}));
}

// Over a megabyte: a base element in the head, anchors before, between and after a long script
// and a long comment that hold anchors of their own, so slices begin all over the page.
TEST(ExtractLinks, APageLargerThanASliceKeepsEveryLinkInOrderWithItsBaseAndNoneFromScriptsOrComments) {
  std::string body = "\r\n\r\n<html><head><base href=\"/base/\"><title>t</title></head><body>";
  std::vector<std::string> expected;
  auto paragraphs = [&](int from, int to) {
    for (int i = from; i < to; ++i) {
      body += "<p class=\"c\">text " + std::string(40, 'x') + " <a href=\"p" + std::to_string(i) + ".html\">" +
              std::to_string(i) + "</a></p>\n";
      expected.push_back("/base/p" + std::to_string(i) + ".html");
    }
  };
  auto fakes = [](const std::string& prefix) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "<p><a href='/" + prefix + std::to_string(i) + "'>x</a></p>\n";
    return text;
  };
  paragraphs(0, 5000);
  body += "<script>var s = \"" + fakes("script") + "\";</script>";
  paragraphs(5000, 10000);
  body += "<!-- " + fakes("comment") + " -->";
  paragraphs(10000, 15000);
  body += "</body></html>";
  ASSERT_GT(body.size(), size_t(1) << 20);

  std::string markup;
  LinkMarkupOf(body, markup);
  ASSERT_GE(MarkupPieces(markup, kMarkupPieceBytes).size(), 4u);

  const Links l = Extract(body, kUtf8Headers);
  EXPECT_EQ(l.code, rc::kOk);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Items(l.links.internal), expected);
}

TEST(ExtractLinks, AZeroByteInThePageHidesNoLinkAfterIt) {
  const std::string body = Page(std::string("<a href=\"/a.html\">a</a>\0<a href=\"/b.html\">b</a>", 47) +
                                "<a href=\"/c.html\">c</a>");
  EXPECT_EQ(Items(Extract(body).links.internal), (std::vector<std::string>{"/a.html", "/b.html", "/c.html"}));
}

// The end of what arrived (the size limit, the time-out) may fall inside a character: the
// page is still UTF-8, and not read in another set because of its last bytes.
TEST(ExtractLinks, APageCutInsideItsLastCharacterIsStillReadAsUtf8) {
  const std::string whole = Page("<a href=\"/\xe4\xb8\xad\xe6\x96\x87.html\">\xe4\xb8\xad</a><p>\xe6\x96\x87\xe6\x96\x87");
  const std::string cut = whole.substr(0, whole.rfind("\xe6\x96\x87") + 1);
  for (const std::string& body : {cut, cut + "\x96"}) {
    PageText text("HTTP/1.1 200 OK\r\nContent-Type: text/html", body);
    EXPECT_EQ(text.charset(), "UTF-8");
    EXPECT_EQ(&text.utf8(), &body);
    EXPECT_EQ(Items(Extract(body).links.internal), (std::vector<std::string>{"/%E4%B8%AD%E6%96%87.html"}));
  }
  // A lone continuation byte at the end is no cut character: that text is no UTF-8.
  EXPECT_FALSE(IsValidUtf8("\x80"));
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

TEST(ParserInput, CharacterDataGoesAndEveryTagStaysByteForByte) {
  EXPECT_EQ(WithoutCharacterData("<p class='a'>Some text &amp; more</p>\n  <a href=\"/x?a=1&b=2\">link text</a>"),
            "<p class='a'>x</p> <a href=\"/x?a=1&b=2\">x</a>");
  // Comments and the content of raw-text elements go; their end tags stay.
  EXPECT_EQ(WithoutCharacterData("<!-- <a href=/c> --><script>if (a<b) s='<a href=/s>';</script>"
                                 "<style>a>b{}</style><title>T</title><textarea><a href=/t></textarea>"),
            "<script></script><style></style><title></title><textarea></textarea>");
  // A "<" that starts no tag is character data; a tag that never ends keeps the rest.
  EXPECT_EQ(WithoutCharacterData("<b>1 < 2</b><a href='/open"), "<b>xxx</b><a href='/open");
  EXPECT_EQ(WithoutCharacterData("<p title=\"a>b\">t</p>"), "<p title=\"a>b\">x</p>");
}

TEST(ExtractLinks, WhatCharacterDataHidesIsNoLinkAndWhatMarkupHoldsIsEveryLink) {
  const Links l = Extract(Page("<p>text with &lt;a href=\"/escaped.html\"&gt; in it</p>"
                               "<!-- <a href=\"/commented.html\">c</a> -->"
                               "<script>document.write('<a href=\"/scripted.html\">');</script>"
                               "<textarea><a href=\"/in-textarea.html\">t</a></textarea>"
                               "<pre>code <a href=\"/in-pre.html\">p</a> more</pre>"
                               "<table><tr><td>cell <a href=\"/in-cell.html\">d</a></td></tr></table>"
                               "<p>1 < 2 <a href=\"/after-lt.html\">x</a></p>"));
  EXPECT_EQ(Items(l.links.internal), (std::vector<std::string>{"/after-lt.html", "/in-cell.html", "/in-pre.html"}));
}

TEST(ParserInput, OnlyBareReferenceNamesBeforeEqualsAreEscaped) {
  std::string out;
  EXPECT_FALSE(EscapeBareReferenceNames("a &amp; b &copy; ?x=1&y", out));
  ASSERT_TRUE(EscapeBareReferenceNames("?a=1&reg=2&amp;c=3&x", out));
  EXPECT_EQ(out, "?a=1&amp;reg=2&amp;c=3&x");
}

}  // namespace

namespace {

// One worker's scratch through pages of different sets, bases and robots metas: each page
// gets its own links, and nothing one page left is read on the next.
TEST(ExtractLinks, AWorkersScratchCarriesNothingFromOnePageToTheNext) {
  PageScratch scratch;
  LinkOptions robots;
  robots.obeyRobots = true;
  robots.readCanonical = true;
  auto extract = [&](const std::string& body) {
    PageLinks links;
    EXPECT_EQ(ExtractLinks("HTTP/1.1 200 OK", body, kSite, kPageAddress, links, robots, scratch), rc::kOk);
    return links;
  };
  const PageLinks first = extract(GbkOf(Page("<a href=\"中.html\">x</a>", "<meta charset=\"gbk\"><base href=\"/b/\">"
                                                                           "<meta name=\"robots\" content=\"noindex\">"
                                                                           "<link rel=\"canonical\" href=\"/c.html\">")));
  EXPECT_EQ(Items(first.internal), (std::vector<std::string>{"/b/%E4%B8%AD.html"}));
  EXPECT_TRUE(first.noindex);
  EXPECT_FALSE(first.canonical.empty());
  const PageLinks second = extract(Page("<a href=\"c.html\">c</a>"));
  EXPECT_EQ(Items(second.internal), (std::vector<std::string>{"/dir/c.html"}));
  EXPECT_FALSE(second.noindex);
  EXPECT_EQ(second.canonical, "");  // the first page's canonical is not the second's
  // A page larger than the room kept between pages gives it back.
  const PageLinks large = extract(GbkOf(Page(std::string(PageScratch::kKeptBytes + 10, 'x') + "<a href=\"l.html\">中</a>",
                                             "<meta charset=\"gbk\">")));
  EXPECT_EQ(Items(large.internal), (std::vector<std::string>{"/dir/l.html"}));
  EXPECT_LE(scratch.converted.capacity(), PageScratch::kKeptBytes);
  EXPECT_LE(scratch.markup.capacity(), PageScratch::kKeptBytes);
}

}  // namespace
