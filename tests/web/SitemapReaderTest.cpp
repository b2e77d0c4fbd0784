#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/GzipText.h"
#include "support/GbkText.h"
#include "web/SitemapFeed.h"
#include "web/SitemapReader.h"

namespace {

const std::string kNs = "http://www.sitemaps.org/schemas/sitemap/0.9";

std::string Urlset(const std::string& body, const std::string& ns = kNs) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<urlset xmlns=\"" + ns + "\">\n" + body + "</urlset>\n";
}

std::vector<SitemapFault> Faults(const SitemapRead& read) {
  std::vector<SitemapFault> faults;
  for (const SitemapFinding& f : read.findings) faults.push_back(f.fault);
  return faults;
}

// The body handed to a feed in pieces of n bytes, as a transfer hands it over.
SitemapFeed& FeedInPieces(SitemapFeed& feed, const std::string& body, size_t n) {
  for (size_t pos = 0; pos < body.size(); pos += n)
    if (!feed.Add(body.data() + pos, std::min(n, body.size() - pos))) break;
  feed.End();
  return feed;
}

}  // namespace

TEST(SitemapReaderTest, AUrlsetGivesItsAddressesAndEachFaultOfAnEntryWithItsLine) {
  const SitemapRead read = ReadSitemapDocument(Urlset(
      "<url><loc> http://a.example/ </loc><lastmod>2024-05-06T07:08:09+08:00</lastmod>"
      "<changefreq>weekly</changefreq><priority>1.0</priority></url>\n"
      "<url><loc>http://a.example/b</loc><lastmod>2024-13-01</lastmod></url>\n"
      "<url><loc>http://a.example/c</loc><changefreq>sometimes</changefreq><priority>1.5</priority></url>\n"
      "<url><lastmod>2024</lastmod></url>\n"));
  EXPECT_EQ(read.form, SitemapRead::Form::UrlSet);
  ASSERT_EQ(read.entries.size(), 3u);
  EXPECT_EQ(read.entries[0].address, "http://a.example/");
  EXPECT_EQ(read.entries[1].line, 4);
  EXPECT_EQ(Faults(read), (std::vector<SitemapFault>{SitemapFault::Lastmod, SitemapFault::Changefreq,
                                                     SitemapFault::Priority, SitemapFault::NotAddress}));
  EXPECT_EQ(read.findings[0].value, "2024-13-01");
  EXPECT_EQ(read.findings[0].line, 4);

  // The https namespace is a common mistake; so is none at all.
  for (const std::string ns : {"https://www.sitemaps.org/schemas/sitemap/0.9", ""}) {
    const SitemapRead wrong = ReadSitemapDocument(Urlset("<url><loc>http://a.example/</loc></url>", ns));
    ASSERT_EQ(Faults(wrong), std::vector<SitemapFault>{SitemapFault::Namespace}) << ns;
    EXPECT_EQ(wrong.findings[0].value, ns);
    EXPECT_EQ(wrong.entries.size(), 1u);
  }
}

TEST(SitemapReaderTest, AnIndexNamesItsDocuments) {
  const SitemapRead read = ReadSitemapDocument(
      "<sitemapindex xmlns=\"" + kNs + "\"><sitemap><loc>http://a.example/1.xml.gz</loc></sitemap>"
      "<sitemap><loc>http://a.example/2.xml</loc><lastmod>yesterday</lastmod></sitemap></sitemapindex>");
  EXPECT_EQ(read.form, SitemapRead::Form::Index);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[1].address, "http://a.example/2.xml");
  EXPECT_EQ(Faults(read), std::vector<SitemapFault>{SitemapFault::Lastmod});
}

TEST(SitemapReaderTest, DocumentsThatAreNoSitemapGiveAFaultAndNothingElse) {
  EXPECT_EQ(Faults(ReadSitemapDocument("")), std::vector<SitemapFault>{SitemapFault::Empty});
  EXPECT_EQ(Faults(ReadSitemapDocument(" \r\n\t")), std::vector<SitemapFault>{SitemapFault::Empty});
  const SitemapRead html = ReadSitemapDocument("<html><head><title>x</title></head><body><p>hi</p></body></html>");
  EXPECT_EQ(Faults(html), std::vector<SitemapFault>{SitemapFault::NotSitemap});
  EXPECT_EQ(html.findings[0].value, "html");
  EXPECT_TRUE(html.entries.empty());
  // Cut short: what came before the cut is still read, and the fault names its line.
  const std::string whole = Urlset("<url><loc>http://a.example/1</loc></url>\n<url><loc>http://a.example/2</loc></url>\n");
  const SitemapRead cut = ReadSitemapDocument(whole.substr(0, whole.size() - 30));
  ASSERT_FALSE(cut.findings.empty());
  EXPECT_EQ(cut.findings[0].fault, SitemapFault::NotWellFormed);
  EXPECT_GT(cut.findings[0].line, 0);
}

TEST(SitemapReaderTest, EntityDeclarationsAreNeverExpanded) {
  // A billion laughs: ten levels of ten references each.
  std::string doctype = "<!DOCTYPE urlset [<!ENTITY l0 \"lol\">";
  for (int i = 1; i < 10; ++i) {
    doctype += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) doctype += "&l" + std::to_string(i - 1) + ";";
    doctype += "\">";
  }
  doctype += "]>";
  const SitemapRead laughs = ReadSitemapDocument("<?xml version=\"1.0\"?>" + doctype + "<urlset xmlns=\"" + kNs +
                                                 "\"><url><loc>http://a.example/&l9;</loc></url></urlset>");
  EXPECT_EQ(Faults(laughs), std::vector<SitemapFault>{SitemapFault::EntityDeclarations});
  EXPECT_TRUE(laughs.entries.empty());
  // An external entity the same way: nothing is fetched, nothing read.
  const SitemapRead external = ReadSitemapDocument(
      "<!DOCTYPE urlset [<!entity x SYSTEM \"file:///etc/passwd\">]><urlset><url><loc>&x;</loc></url></urlset>");
  EXPECT_EQ(Faults(external), std::vector<SitemapFault>{SitemapFault::EntityDeclarations});
  // A UTF-8 sequence cut at the end of a name once made the parser read past the text.
  const SitemapRead cut = ReadSitemapDocument("<urlset xmlns=\"" + kNs + "\">\n<url><loc>e\xF4>\n");
  ASSERT_FALSE(cut.findings.empty());
  EXPECT_EQ(cut.findings[0].fault, SitemapFault::NotUtf8);
  // A DOCTYPE without declarations is harmless and read.
  EXPECT_EQ(ReadSitemapDocument("<!DOCTYPE urlset>" + Urlset("<url><loc>http://a.example/</loc></url>")).entries.size(),
            1u);
}

TEST(SitemapReaderTest, NoDocumentKeepsMoreThanFiftyThousandAddresses) {
  std::string body;
  for (size_t i = 0; i <= kMaxSitemapAddresses; ++i) body += "<url><loc>http://a.example/" + std::to_string(i) + "</loc></url>\n";
  const SitemapRead read = ReadSitemapDocument(Urlset(body));
  EXPECT_EQ(read.entries.size(), kMaxSitemapAddresses);
  EXPECT_EQ(Faults(read), std::vector<SitemapFault>{SitemapFault::TooManyAddresses});
  EXPECT_EQ(read.entries.back().address, "http://a.example/49999");
}

TEST(SitemapReaderTest, ATextSitemapIsOneAddressALineAndGbkIsReadAsSuch) {
  const SitemapRead utf8 = ReadSitemapDocument("\xEF\xBB\xBFhttp://a.example/\r\n\n  http://a.example/中文.html  \n");
  EXPECT_EQ(utf8.form, SitemapRead::Form::Text);
  ASSERT_EQ(utf8.entries.size(), 2u);
  EXPECT_EQ(utf8.entries[1].address, "http://a.example/中文.html");
  EXPECT_EQ(utf8.entries[1].line, 3);
  EXPECT_TRUE(utf8.findings.empty());

  const SitemapRead gbk = ReadSitemapDocument("http://a.example/" + GbkOf("中文") + ".html\n");
  EXPECT_EQ(Faults(gbk), std::vector<SitemapFault>{SitemapFault::NotUtf8});
  ASSERT_EQ(gbk.entries.size(), 1u);
  EXPECT_EQ(gbk.entries[0].address, "http://a.example/中文.html");
}

TEST(SitemapReaderTest, W3cDateTimeHasTheProtocolsSixForms) {
  for (const char* ok : {"2024", "2024-05", "2024-05-06", "2024-05-06T07:08Z", "2024-05-06T07:08:09+08:00",
                         "2024-05-06T07:08:09.5-05:30"})
    EXPECT_TRUE(IsW3cDateTime(ok)) << ok;
  for (const char* bad : {"", "24", "2024-5", "2024-13-01", "2024-05-32", "2024-05-06T07:08", "2024-05-06 07:08Z",
                          "2024-05-06T25:00Z", "2024-05-06T07:08:09.Z", "2024-05-06T07:08+8:00", "Mon, 06 May 2024"})
    EXPECT_FALSE(IsW3cDateTime(bad)) << bad;
}

TEST(SitemapReaderTest, ARobotsFileNamesItsSitemapsOutsideAnyGroup) {
  EXPECT_EQ(RobotsSitemapLines("User-agent: *\nDisallow: /x\nSitemap: http://a.example/s.xml # main\r\n"
                               "SITEMAP:http://b.example/t.xml\nsitemap:\nNoSitemap: http://c/\n"),
            (std::vector<std::string>{"http://a.example/s.xml", "http://b.example/t.xml"}));
}

TEST(SitemapFeedTest, GzipIsKnownByItsContentAndInflatedInPieces) {
  const std::string text = Urlset("<url><loc>http://a.example/</loc></url>");
  std::string gzip;
  ASSERT_TRUE(GzipInMemory(text, gzip));
  for (size_t piece : {1u, 7u, 4096u}) {
    SitemapFeed feed;
    FeedInPieces(feed, gzip, piece);
    EXPECT_TRUE(feed.gzip());
    EXPECT_FALSE(feed.truncated() || feed.damaged() || feed.tooLarge());
    EXPECT_EQ(feed.text(), text) << piece;
  }
  SitemapFeed plain;
  EXPECT_EQ(FeedInPieces(plain, text, 3).text(), text);
  EXPECT_FALSE(plain.gzip());
}

TEST(SitemapFeedTest, ABrokenGzipIsSaidToBeSoAndABombStopsAtTheLimit) {
  SitemapFeed fake;
  FeedInPieces(fake, "\x1f\x8bthis is not deflate data at all", 5);
  EXPECT_TRUE(fake.damaged());

  std::string gzip;
  ASSERT_TRUE(GzipInMemory(Urlset("<url><loc>http://a.example/</loc></url>"), gzip));
  SitemapFeed cut;
  FeedInPieces(cut, gzip.substr(0, gzip.size() / 2), 8);
  EXPECT_TRUE(cut.truncated());

  // 16 MiB of zeros compress to a few kilobytes; the feed keeps its limit and asks
  // for nothing more long before the end of the stream.
  std::string bomb;
  ASSERT_TRUE(GzipInMemory(std::string(16u << 20, '\0'), bomb));
  constexpr size_t kLimit = 256u << 10;
  SitemapFeed feed(kLimit);
  size_t taken = 0;
  for (size_t pos = 0; pos < bomb.size(); pos += 256) {
    if (!feed.Add(bomb.data() + pos, std::min<size_t>(256, bomb.size() - pos))) break;
    taken = pos;
  }
  feed.End();
  EXPECT_TRUE(feed.tooLarge());
  EXPECT_EQ(feed.text().size(), kLimit);
  EXPECT_LT(taken, bomb.size() / 4);
}
