#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Status.h"
#include "crawl/SitemapContent.h"
#include "output/CSitemapXmlWriter.h"
#include "support/SitemapXml.h"
#include "support/TempDir.h"

namespace {

// The split edge, written out: the writer's constant must not drift from it.
constexpr size_t kEdge = 2000000;
const std::string kDate = "2026-03-09";
const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                          "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\" "
                          "xmlns:xhtml=\"http://www.w3.org/1999/xhtml\">\n";
const std::string kTail = "</urlset>\n";
using Alternates = std::vector<std::pair<std::string, std::string>>;

std::string Alternate(const std::string& lang, const std::string& href) {
  return "        <xhtml:link rel=\"alternate\" hreflang=\"" + lang + "\" href=\"" + href + "\" />\n";
}

// An entry with alternates, as the plain default children plus the links.
std::string Entry(const std::string& loc, const Alternates& alternates) {
  std::string text = "    <url>\n"
                     "        <loc>" + loc + "</loc>\n"
                     "        <lastmod>" + kDate + "</lastmod>\n"
                     "        <changefreq>daily</changefreq>\n"
                     "        <priority>0.5</priority>\n";
  for (const auto& [lang, href] : alternates) text += Alternate(lang, href);
  return text + "    </url>\n";
}

SitemapContent WithAlternates() {
  SitemapContent content;
  content.languageAlternates = true;
  return content;
}

std::string Printed(CSitemapXmlWriter& writer) {
  std::string text;
  EXPECT_TRUE(writer.PrintCurrent(text).ok());
  return text;
}

}  // namespace

TEST(SitemapContentWriterTest, AlternatesAreEscapedEncodedChildrenAndTheRootDeclaresTheXhtmlPrefix) {
  CSitemapXmlWriter writer(kDate, WithAlternates());
  const Alternates alternates = {{"en", "http://h.test/p"}, {"de", "http://h.test/de/p?a=1&b=2"},
                                 {"zh\"CN", "http://other/\xE4\xB8\xAD p"}};
  ASSERT_TRUE(writer.AddUrl("http://h.test/p", "", 0, alternates).ok());
  ASSERT_TRUE(writer.AddUrl("http://h.test/q", "", 1, {}).ok());
  const std::string text = Printed(writer);
  EXPECT_EQ(text, kHead +
                      Entry("http://h.test/p", {{"en", "http://h.test/p"}, {"de", "http://h.test/de/p?a=1&amp;b=2"},
                                           {"zh&quot;CN", "http://other/%E4%B8%AD%20p"}}) +
                      Entry("http://h.test/q", {}) + kTail);
  const ParsedSitemap parsed = ParseSitemapXml(text);
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_TRUE(parsed.declaresXhtml);
  ASSERT_EQ(parsed.urls.size(), 2u);
  EXPECT_EQ(parsed.urls[0].alternates,
            (Alternates{{"en", "http://h.test/p"}, {"de", "http://h.test/de/p?a=1&b=2"}, {"zh\"CN", "http://other/%E4%B8%AD%20p"}}));
  // The sitemap page shows exactly what the documents hold.
  EXPECT_EQ(writer.EntryText("http://h.test/q", "", 1, {}), Entry("http://h.test/q", {}));
}

TEST(SitemapContentWriterTest, ChangefreqAndPriorityByDepthOrLeftOutAndTheDefaultsHaveNoXhtmlPrefix) {
  SitemapContent content;
  content.changefreq = "weekly";
  content.priorities = {"1.0", "0.8", "0.6"};
  CSitemapXmlWriter writer(kDate, content);
  for (int depth = 0; depth <= 4; ++depth)
    ASSERT_TRUE(
        writer.AddUrl("http://h.test/d" + std::to_string(depth), "", depth, {{"en", "http://h.test/ignored"}}).ok());
  ParsedSitemap parsed = ParseSitemapXml(Printed(writer));
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_FALSE(parsed.declaresXhtml);  // alternates are off: none written, no prefix
  ASSERT_EQ(parsed.urls.size(), 5u);
  const std::vector<std::string> wanted = {"1.0", "0.8", "0.6", "0.6", "0.6"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(parsed.urls[i].changefreq, "weekly");
    EXPECT_EQ(parsed.urls[i].priority, wanted[i]) << i;
    EXPECT_TRUE(parsed.urls[i].alternates.empty());
  }

  content.changefreq.clear();
  content.priorities.clear();
  CSitemapXmlWriter bare(kDate, content);
  ASSERT_TRUE(bare.AddUrl("http://h.test/", "2025-01-02", 3, {}).ok());
  EXPECT_EQ(Printed(bare), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                           "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
                           "    <url>\n"
                           "        <loc>http://h.test/</loc>\n"
                           "        <lastmod>2025-01-02</lastmod>\n"
                           "    </url>\n"
                           "</urlset>\n");
  parsed = ParseSitemapXml(Printed(bare));
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_FALSE(parsed.urls[0].hasChangefreq || parsed.urls[0].hasPriority);
}

// A document takes entries while its printed text is at most 2,000,000 bytes, alternates
// counted: one of exactly 2,000,000 bytes takes one more, one of 2,000,001 bytes is closed.
// Measured with and without alternates, each document read back.
TEST(SitemapContentWriterTest, SplitCountsAlternatesAndKeepsADocumentOfExactlyTwoMillionBytes) {
  for (const bool withAlternates : {false, true}) {
    for (const size_t size : {kEdge, kEdge + 1}) {
      SCOPED_TRACE(std::string(withAlternates ? "with" : "without") + " alternates, " + std::to_string(size));
      SitemapContent content;
      content.languageAlternates = withAlternates;
      CSitemapXmlWriter writer(kDate, content);
      const std::string head = withAlternates ? kHead
                                              : "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                                                "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
      const Alternates alternates = {{"en", "http://example.com/en"}, {"fr", "http://other.example/fr"}};
      const Alternates written = withAlternates ? alternates : Alternates{};
      // Entries of one length, then one sized to end the text exactly at size (each address
      // within the protocol's 2,048 characters).
      size_t length = head.size() + kTail.size();
      std::vector<std::string> locs;
      const std::string base = "http://example.com/page/";
      const size_t unit = Entry(base + std::string(500, 'a'), written).size();
      while (length + 2 * unit <= size) {
        std::string loc = base + std::to_string(100000 + locs.size()) + std::string(500 - 6, 'a');
        ASSERT_TRUE(writer.AddUrl(loc, "", 0, alternates).ok());
        locs.push_back(loc);
        length += unit;
      }
      const std::string last = base + std::string(size - length - Entry(base, written).size(), 'z');
      ASSERT_TRUE(writer.AddUrl(last, "", 0, alternates).ok());
      locs.push_back(last);
      std::string doc0 = head;
      for (const std::string& loc : locs) doc0 += Entry(loc, written);
      doc0 += kTail;
      ASSERT_EQ(doc0.size(), size);
      EXPECT_EQ(Printed(writer), doc0);

      ASSERT_TRUE(writer.AddUrl("http://example.com/next", "", 0, alternates).ok());
      const bool split = size > kEdge;
      EXPECT_EQ(writer.currentIndex(), split ? 1 : 0);
      if (split) EXPECT_EQ(Printed(writer), head + Entry("http://example.com/next", written) + kTail);

      TempDir dir;
      ScopedWorkingDir cwd(dir.path());
      ASSERT_TRUE(writer.SaveAll("site", false).ok());
      size_t urls = 0;
      for (size_t i = 0; i < writer.documentCount(); ++i) {
        const std::string name = CSitemapXmlWriter::FileName("site", i, false);
        const ParsedSitemap parsed = ParseSitemapXml(ReadFileBytes(name));
        ASSERT_TRUE(parsed.ok) << name << ": " << parsed.problem;
        EXPECT_EQ(parsed.declaresXhtml, withAlternates);
        EXPECT_EQ(parsed.urls.back().alternates, written);
        urls += parsed.urls.size();
      }
      EXPECT_EQ(urls, locs.size() + 1);
    }
  }
}

TEST(SitemapContentWriterTest, ChangefreqAndPriorityTextsAreReadOrRefusedWithAMessage) {
  std::string word, message;
  EXPECT_TRUE(ParseChangefreq(" monthly ", word, message));
  EXPECT_EQ(word, "monthly");
  EXPECT_TRUE(ParseChangefreq("none", word, message));
  EXPECT_EQ(word, "");
  for (const char* bad : {"Daily", "often", "daily,weekly"}) {
    message.clear();
    EXPECT_FALSE(ParseChangefreq(bad, word, message)) << bad;
    EXPECT_NE(message.find(bad), std::string::npos) << message;
  }
  std::vector<std::string> values;
  EXPECT_TRUE(ParsePriorities("1.0, 0.8 ,0.6", values, message));
  EXPECT_EQ(values, (std::vector<std::string>{"1.0", "0.8", "0.6"}));
  EXPECT_TRUE(ParsePriorities("1", values, message));
  EXPECT_EQ(values, (std::vector<std::string>{"1"}));
  EXPECT_TRUE(ParsePriorities("none", values, message));
  EXPECT_TRUE(values.empty());
  for (const char* bad : {"1.5", "-0.1", "0.5,", "abc", "0.5,,0.4", "1e-1"}) {
    values = {"kept"};
    EXPECT_FALSE(ParsePriorities(bad, values, message)) << bad;
    EXPECT_EQ(values, (std::vector<std::string>{"kept"})) << bad;
  }
  EXPECT_EQ(PriorityAtDepth({"1.0", "0.8"}, 7), "0.8");
  EXPECT_EQ(PriorityAtDepth({}, 0), "");
}

// Images come after the alternates, each an image:image holding its escaped image:loc; the
// root declares the image prefix only when they are asked for, and their bytes move the split.
TEST(SitemapContentWriterTest, ImagesFollowTheAlternatesCountTowardsTheSplitAndTheRootDeclaresTheirPrefix) {
  SitemapContent content = WithAlternates();
  content.images = true;
  CSitemapXmlWriter writer(kDate, content);
  const std::vector<std::string> images = {"http://h.test/a.png?x=1&y=2", "https://cdn.test/%E5%9B%BE.jpg"};
  ASSERT_TRUE(writer.AddUrl("http://h.test/p", "", 0, {{"en", "http://h.test/p"}}, images).ok());
  ASSERT_TRUE(writer.AddUrl("http://h.test/q", "", 0, {}, {}).ok());
  const std::string entry = writer.EntryText("http://h.test/p", "", 0, {{"en", "http://h.test/p"}}, images);
  const std::string imageText = "        <image:image>\n"
                                "            <image:loc>http://h.test/a.png?x=1&amp;y=2</image:loc>\n"
                                "        </image:image>\n"
                                "        <image:image>\n"
                                "            <image:loc>https://cdn.test/%E5%9B%BE.jpg</image:loc>\n"
                                "        </image:image>\n";
  std::string expected = Entry("http://h.test/p", {{"en", "http://h.test/p"}});
  expected.insert(expected.size() - std::string("    </url>\n").size(), imageText);
  EXPECT_EQ(entry, expected);
  const std::string text = Printed(writer);
  EXPECT_EQ(text.substr(0, text.find('\n') + 1), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n");
  EXPECT_NE(text.find("<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\" "
                      "xmlns:xhtml=\"http://www.w3.org/1999/xhtml\" "
                      "xmlns:image=\"http://www.google.com/schemas/sitemap-image/1.1\">\n"),
            std::string::npos);
  EXPECT_NE(text.find(expected), std::string::npos);
  const ParsedSitemap parsed = ParseSitemapXml(text);  // against the schemas too
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_TRUE(parsed.declaresImage);
  ASSERT_EQ(parsed.urls.size(), 2u);
  EXPECT_EQ(parsed.urls[0].images, (std::vector<std::string>{"http://h.test/a.png?x=1&y=2", images[1]}));
  EXPECT_TRUE(parsed.urls[1].images.empty());

  // 1,500 entries of some 150 bytes fit one document; with five long images each they do not.
  const std::vector<std::string> heavy(5, "http://cdn.test/" + std::string(300, 'i'));
  for (const bool withImages : {false, true}) {
    SitemapContent one;
    one.images = withImages;
    CSitemapXmlWriter split(kDate, one);
    std::vector<std::string> shown = heavy;
    for (int i = 0; i < 1500; ++i) {
      shown[0] = "http://cdn.test/" + std::to_string(i) + std::string(300, 'i');  // distinct, same length
      ASSERT_TRUE(split.AddUrl("http://h.test/" + std::to_string(i), "", 0, {}, shown).ok());
    }
    EXPECT_EQ(split.documentCount(), withImages ? 2u : 1u) << withImages;
    std::string first;
    ASSERT_TRUE(split.PrintDocument(0, first).ok());
    EXPECT_EQ(first.find("image") != std::string::npos, withImages);
    if (withImages) EXPECT_LE(first.size(), kEdge + Entry("http://h.test/1", {}).size() + 5 * 400);
  }
}
