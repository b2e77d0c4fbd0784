#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Status.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapIndex.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct ListedDocument {
  std::string loc;
  std::string lastmod;
};

// The sitemap elements of an index file, read back with TinyXML; fails the test when the
// file is not a sitemap index.
std::vector<ListedDocument> ReadIndex(const std::string& path) {
  std::vector<ListedDocument> listed;
  TiXmlDocument doc;
  if (!doc.LoadFile(path.c_str())) {
    ADD_FAILURE() << path << ": " << doc.ErrorDesc();
    return listed;
  }
  const TiXmlElement* root = doc.RootElement();
  if (!root || std::string(root->Value()) != "sitemapindex" ||
      root->Attribute("xmlns") != std::string("http://www.sitemaps.org/schemas/sitemap/0.9")) {
    ADD_FAILURE() << path << " has no sitemapindex root in the sitemap namespace";
    return listed;
  }
  for (const TiXmlElement* sitemap = root->FirstChildElement(); sitemap; sitemap = sitemap->NextSiblingElement()) {
    EXPECT_EQ(std::string(sitemap->Value()), "sitemap");
    const TiXmlElement* loc = sitemap->FirstChildElement("loc");
    const TiXmlElement* lastmod = sitemap->FirstChildElement("lastmod");
    listed.push_back({loc && loc->GetText() ? loc->GetText() : "", lastmod && lastmod->GetText() ? lastmod->GetText() : ""});
  }
  return listed;
}

}  // namespace

TEST(SitemapIndexTest, TwentyThousandAddressesGiveSeveralDocumentsAndAnIndexNamingEach) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer("2026-03-09");
  for (int i = 0; i < 20000; ++i) {
    const std::string address = "https://example.com/catalogue/section-" + std::to_string(i % 97) + "/item-" +
                                std::to_string(i) + ".html";
    ASSERT_TRUE(writer.AddUrl(address, i % 2 ? "2024-01-31T08:05:00+00:00" : "").ok());
  }
  ASSERT_GE(writer.documentCount(), 2u);
  fs::create_directory("out");
  std::vector<std::string> saved;
  ASSERT_TRUE(writer.SaveAll("out/example.com", true, saved).ok());
  ASSERT_EQ(saved.size(), writer.documentCount());

  bool written = false;
  ASSERT_TRUE(WriteSitemapIndexFor({saved, "https://example.com", "out/example.com", "2026-03-10"}, &written).ok());
  EXPECT_TRUE(written);
  const std::vector<ListedDocument> listed = ReadIndex("out/example.com_sitemap_index.xml");
  ASSERT_EQ(listed.size(), saved.size());
  for (size_t i = 0; i < listed.size(); ++i) {
    const std::string file = "example.com_sitemap" + std::to_string(i) + ".xml.gz";
    EXPECT_EQ(listed[i].loc, "https://example.com/" + file);
    EXPECT_EQ(listed[i].lastmod, "2026-03-10");
    EXPECT_TRUE(fs::is_regular_file("out/" + file)) << file;
  }
  EXPECT_FALSE(fs::exists("out/example.com_sitemap_index.xml.part"));
}

TEST(SitemapIndexTest, OneDocumentNeedsNoIndexAndNothingIsWritten) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  bool written = true;
  EXPECT_TRUE(WriteSitemapIndexFor({{"h_sitemap0.xml"}, "http://h/", "h", ""}, &written).ok());
  EXPECT_FALSE(written);
  EXPECT_TRUE(WriteSitemapIndexFor({{}, "http://h/", "h", ""}, &written).ok());
  EXPECT_FALSE(written);
  EXPECT_TRUE(fs::is_empty("."));
}

TEST(SitemapIndexTest, TheIndexTextIsThePrinterFormAndTheFileHasCrLf) {
  const std::vector<SitemapIndexEntry> entries = {{"http://h:8080/h_sitemap0.xml", "2026-03-09"},
                                                  {"http://h:8080/a b&c.xml", "2026-03-09"}};
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
      "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
      "    <sitemap>\n"
      "        <loc>http://h:8080/h_sitemap0.xml</loc>\n"
      "        <lastmod>2026-03-09</lastmod>\n"
      "    </sitemap>\n"
      "    <sitemap>\n"
      "        <loc>http://h:8080/a%20b&amp;c.xml</loc>\n"
      "        <lastmod>2026-03-09</lastmod>\n"
      "    </sitemap>\n"
      "</sitemapindex>\n";
  EXPECT_EQ(SitemapIndexText(entries), expected);
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  ASSERT_TRUE(WriteSitemapIndexFile("index.xml", entries).ok());
  std::string crlf;
  for (char c : expected) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(ReadFileBytes("index.xml"), crlf);
}

TEST(SitemapIndexTest, NamesFollowThePrefixAndTheDefaultLastmodIsToday) {
  EXPECT_EQ(SitemapIndexFileName("example.com"), "example.com_sitemap_index.xml");
  EXPECT_EQ(SitemapIndexFileName("out/example.com"), "out/example.com_sitemap_index.xml");
  EXPECT_EQ(SitemapIndexFileName(""), "sitemap_index.xml");
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  ASSERT_TRUE(WriteSitemapIndexFor({{"sitemap0.xml", "sitemap1.xml"}, "http://h/", "", ""}).ok());
  const std::vector<ListedDocument> listed = ReadIndex("sitemap_index.xml");
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].loc, "http://h/sitemap0.xml");
  EXPECT_EQ(listed[1].loc, "http://h/sitemap1.xml");
  EXPECT_EQ(listed[1].lastmod, LocalIsoDate());
}

TEST(SitemapIndexTest, AnUnwritableFolderFailsAndAnEarlierIndexStays) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  bool written = true;
  FileWriteResult failure;
  EXPECT_EQ(WriteSitemapIndexFor({{"a0", "a1"}, "http://h/", "missing/h", ""}, &written, &failure).code(),
            StatusCode::kFileOpen);
  EXPECT_FALSE(written);
  EXPECT_EQ(failure.path, (fs::current_path() / "missing/h_sitemap_index.xml").string());
  EXPECT_EQ(failure.systemError, ENOENT);
  ASSERT_TRUE(WriteSitemapIndexFor({{"h_sitemap0.xml", "h_sitemap1.xml"}, "http://h/", "h", "2026-01-01"}).ok());
  const std::string before = ReadFileBytes("h_sitemap_index.xml");
  fs::create_directory("h_sitemap_index.xml.part");  // the partial file cannot be made
  EXPECT_EQ(WriteSitemapIndexFor({{"h_sitemap0.xml", "h_sitemap1.xml", "h_sitemap2.xml"}, "http://h/", "h", ""}).code(),
            StatusCode::kFileOpen);
  EXPECT_EQ(ReadFileBytes("h_sitemap_index.xml"), before);
}
