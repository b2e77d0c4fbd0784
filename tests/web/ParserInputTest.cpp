#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "web/LinkExtractor.h"
#include "web/PageMarkup.h"
#include "web/PageScratch.h"
#include "web/LinkMarkup.h"
#include "web/ParserInput.h"
#include "web/TidyDocument.h"

namespace {

// The page as the parser read it before: the whole markup, only its character data taken out.
PageMarkup WholeMarkupReading(const std::string& page) {
  const std::string text = WithoutCharacterData(page);
  std::string escaped;
  TidyDocument doc;
  PageMarkup markup;
  if (doc.Parse((EscapeBareReferenceNames(text, escaped) ? escaped : text).c_str()) >= 0)
    ReadPageMarkup(doc.Head(), doc.Body(), markup);
  return markup;
}

// The base and metas in order; the anchors as a set (the parser moves an anchor that stands
// in a table outside its cells before the table; a page's links are a set).
std::vector<std::string> Described(const PageMarkup& m) {
  std::vector<std::string> out;
  if (m.hasBase) out.push_back("base " + m.baseHref);
  for (const auto& [name, content] : m.namedMetas) out.push_back("meta " + name + "=" + content);
  std::vector<std::string> anchors;
  for (const AnchorLink& a : m.anchors) anchors.push_back("a " + a.href + " rel=" + a.rel);
  std::sort(anchors.begin(), anchors.end());
  out.insert(out.end(), anchors.begin(), anchors.end());
  return out;
}

TEST(ParserInput, LinkMarkupKeepsOnlyTheTagsThatCarryLinksAndOneCharacterForWhatGoesBetween) {
  std::string out = "left from the last page";
  LinkMarkupOf("<!DOCTYPE html><html lang=en><head><title>T</title><script>var a = '<a href=/s>';</script>"
               "<meta name=\"robots\" content=\"nofollow\"><link rel=stylesheet href=s.css>\n</head>"
               "<body class=b><div id=\"d\"\"><p>Text <a href=\"/a\tb\" class=c>x</a></p><img src=i.png>"
               "<map><area href=/m></map><!-- <a href=/c> --></div></body></html>",
               out);
  // Only the attributes the crawl reads stay; the stray quote of id="d"" hides no ">"; the tab
  // of the href goes as before.
  EXPECT_EQ(out,
            "<!DOCTYPE html><html lang=en><head><meta name=\"robots\" content=\"nofollow\"><link rel=stylesheet href=s.css> </head>"
            "<body>x<a href=\"/ab\">x</a>x<area href=/m></body></html>");
}

// Whatever the parser does with what was taken out, the link markup must read as the whole
// markup did: pages that place their anchors, base and metas oddly.
TEST(ParserInput, LinkMarkupReadsTheSameBaseMetasAndAnchorsAsTheWholeMarkup) {
  const std::vector<std::string> pages = {
      "<html><head><title>t</title><base href=\"/b/\"><meta name=robots content=noindex></head>"
      "<body><div><table><tr><td><a href=x.html>1</a></td></tr><a href=y.html>2</a></table></div></body></html>",
      // A tag that starts the body, then head elements: their place must not move.
      "<html><head><img src=i.png><meta name=robots content=nofollow><base href=/late/></head>"
      "<body><a href=z.html>z</a></body></html>",
      "<head><div>x</div><meta name=description content=d></head><a href=1.html>1</a>",
      "<html><head><noscript><a href=/ns.html>n</a></noscript><script>x</script>"
      "<meta name=robots content=none></head><body><a href=/b.html rel=nofollow>b</a></body></html>",
      // Unclosed anchors, anchors in a template, a form, a frameset.
      "<p><a href=/1.html><b>1</a><a href=/3.html><b>3</p><a href=/4.html>",
      "<body><template><a href=/t.html>t</a></template><form><a href=/f.html>f</a></form></body>",
      "<frameset><frame src=a.html><noframes><body><a href=/nf.html>nf</a></body></noframes></frameset>",
      "<svg><a href=/svg.html>s</a></svg><math><a href=/m.html>m</a></math><a href=/after.html>a</a>",
      "<h2 id=\"x\"\">t</h2><a href=\"/q?a=1&reg=2\">q</a><p title='a>b'><a href='/gt.html'>g</a>",
      // Attributes split as a browser splits them: values with spaces, ">" or quotes, no quotes,
      // repeated, upper case, a stray "=", a self-closing anchor.
      "<a title='x > y' HREF = \"/sp ace.html\" rel=\"nofollow\"class=c>1</a><a href=/u.html?a=\"b\">2</a>"
      "<a href=/first.html href=/second.html>3</a><a =x href=/eq.html>4</a><a href='/self.html'/>"
      "<a data-x=\"href=/no.html\" id=a\"b href=/stray.html>5</a><meta NAME=robots CONTENT=\"noindex\">",
      "<select><option><a href=/opt.html>o</a></select><object><a href=/obj.html>o</a></object>"
      "<a href=/end.html>e",
  };
  PageScratch scratch;
  for (const std::string& page : pages) {
    ASSERT_EQ(ReadLinkMarkup(page, scratch), 0) << page;
    EXPECT_EQ(Described(scratch.page), Described(WholeMarkupReading(page))) << page;
  }
  // One reading differs, to the browser's side: an anchor inside an element inside another
  // anchor. The parser dropped it; a browser ends the outer anchor and keeps it.
  const std::string nested = "<p><a href=/1.html><div><a href=/2.html>2</a></div></a></p>";
  ASSERT_EQ(ReadLinkMarkup(nested, scratch), 0);
  EXPECT_EQ(Described(scratch.page), (std::vector<std::string>{"a /1.html rel=", "a /2.html rel="}));
}

}  // namespace
