#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/LinkExtractor.h"
#include "web/LinkMarkup.h"
#include "web/MarkupPieces.h"
#include "web/PageScratch.h"

namespace {

// What one reading found, in a form gtest prints.
std::vector<std::string> Found(const PageMarkup& m) {
  std::vector<std::string> found;
  if (m.hasBase) found.push_back("base " + m.baseHref);
  for (const auto& [name, content] : m.namedMetas) found.push_back("meta " + name + "=" + content);
  for (const HeadLink& l : m.headLinks) found.push_back("link " + l.rel + " " + l.hreflang + " " + l.href);
  for (const AnchorLink& a : m.anchors) found.push_back("a " + a.href + " " + a.rel);
  return found;
}

std::vector<std::string> Read(const std::string& page, size_t pieceBytes) {
  PageScratch scratch;
  EXPECT_EQ(ReadLinkMarkup(page, scratch, pieceBytes), 0);
  return Found(scratch.page);
}

// Pages whose link markup, cut before every tag (pieces of one byte) and at a few sizes, must
// read as it reads whole: cuts fall where the page had a comment, a script, an attribute value
// holding "<" and ">", between the base and the first link, inside elements that set anchors
// aside, inside an anchor left open, and around a tag that never ends.
const std::vector<std::string> kPages = {
    "<!DOCTYPE html><html lang=\"en\"><head><base href=\"/base/\"><meta name=\"robots\" content=\"nofollow\">"
    "<link rel=\"canonical\" href=\"/c.html\"><title>t</title><!-- <a href=\"/comment.html\"> -->"
    "<script>document.write('</a><a href=\"/script.html\">');</script></head><body><p>text</p>"
    "<a title=\"a>b<c\" href=\"one.html\">1</a><!-- <base href=\"/x/\"> --><a href='two.html?a=1&amp;b=2'>2</a>"
    "<style>a { content: '<a href=/style.html>' }</style><a href=\"three.html\" rel=\"nofollow\">3</a></body></html>",
    "<html><head><noscript><a href=\"/head-noscript.html\">n</a></noscript><meta name=\"description\" content=\"d\">"
    "</head><body><a href=\"/before.html\">b</a><svg><a href=\"/in-svg.html\">s</a><circle/></svg>"
    "<select><option>o<a href=\"/in-select.html\">x</a></select><math><a href=\"/in-math.html\">m</a></math>"
    "<svg/><a href=\"/after-svg.html\">a</a><noscript><a href=\"/body-noscript.html\">n</a></noscript>"
    "<a href=\"/after.html\">z</a></body></html>",
    "<a href=\"/no-head.html\">implied body</a><a href=\"/open1.html\">one<a href=\"/open2.html\">two"
    "<meta name=\"robots\" content=\"noindex\"><base href=\"/late/\"><p><a href=\"/open3.html\">three</p>"
    "</body></html><a href=\"/after-html.html\">late</a>",
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"><html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
    "<link rel=\"alternate\" hreflang=\"de\" href=\"/de/\"/></head><body><div><a href=\"x.html\"/>"
    "<a href=\"y.html\">y</a></div><area href=\"/area.html\"/><a href=\"z.html\" title=\"never ends",
};

TEST(MarkupPieces, ACutBeforeAnyTagFindsWhatTheWholeMarkupFinds) {
  for (size_t page = 0; page < kPages.size(); ++page) {
    const std::vector<std::string> whole = Read(kPages[page], 0);
    ASSERT_FALSE(whole.empty()) << page;
    for (size_t bytes : {1, 2, 7, 30, 64})
      EXPECT_EQ(Read(kPages[page], bytes), whole) << "page " << page << ", pieces of " << bytes << " bytes";
  }
}

TEST(MarkupPieces, PiecesCoverTheMarkupInOrderAndBeginAtTags) {
  std::string markup;
  LinkMarkupOf(kPages[1] + kPages[0], markup);
  const std::vector<MarkupPiece> pieces = MarkupPieces(markup, 16);
  ASSERT_GT(pieces.size(), 10u);
  EXPECT_EQ(pieces.front().begin, 0u);
  EXPECT_EQ(pieces.back().end, markup.size());
  for (size_t k = 1; k < pieces.size(); ++k) {
    EXPECT_EQ(pieces[k].begin, pieces[k - 1].end);
    EXPECT_EQ(markup[pieces[k].begin], '<');
    EXPECT_EQ(pieces[k].context.rfind("<html>", 0), 0u) << pieces[k].context;
  }
  EXPECT_EQ(MarkupPieces(markup, 0).size(), 1u);
  EXPECT_EQ(MarkupPieces(markup, markup.size()).size(), 1u);
}

// A hostile page opens svg elements by the hundred thousand and never closes them: each
// piece's context stays short, and the page is still read.
TEST(MarkupPieces, ElementsOpenedByTheHundredThousandLeaveEachPieceAShortContext) {
  std::string page = "<html><body>";
  for (int i = 0; i < 200000; ++i) page += "<svg><a href=\"/s.html\">x</a>";
  std::string markup;
  LinkMarkupOf(page, markup);
  const std::vector<MarkupPiece> pieces = MarkupPieces(markup, kMarkupPieceBytes);
  ASSERT_GT(pieces.size(), 100u);
  for (const MarkupPiece& piece : pieces) ASSERT_LT(piece.context.size(), 1024u);
  PageScratch scratch;
  EXPECT_EQ(ReadLinkMarkup(page, scratch), 0);
}

std::string IndexPage(size_t anchors, size_t filler) {
  std::string page = "<!DOCTYPE html><html><head><base href=\"/docs/\"><title>Index</title></head><body><table>";
  for (size_t i = 0; i < anchors; ++i) {
    page += "<tr><td><a class=\"reference\" href=\"../part" + std::to_string(i % 30) + "/page" + std::to_string(i) +
            ".html#sym-" + std::to_string(i) + "\"><code>member" + std::to_string(i) + "()</code></a></td><td>" +
            std::string(filler, 'w') + "</td></tr>\n";
    if (i % 500 == 499) page += "<!-- <a href=\"/in-comment.html\"> --><script>var s = '</tr><a href=x>';</script>";
  }
  return page + "</table></body></html>";
}

// The crawl's pieces (32 KiB of link markup) on an index of 10,000 anchors and on one of 4 MB.
TEST(MarkupPieces, ALargeIndexReadInPiecesKeepsEveryAnchorInOrder) {
  for (const std::string& page : {IndexPage(10000, 20), IndexPage(10000, 370)}) {
    std::string markup;
    LinkMarkupOf(page, markup);
    ASSERT_GT(MarkupPieces(markup, kMarkupPieceBytes).size(), 8u);
    const std::vector<std::string> pieces = Read(page, kMarkupPieceBytes);
    EXPECT_EQ(pieces.size(), 10001u);
    EXPECT_EQ(pieces, Read(page, 0));
  }
  EXPECT_GT(IndexPage(10000, 370).size(), size_t(4) << 20);
}

}  // namespace
