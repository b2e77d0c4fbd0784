#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tinyxml.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/Status.h"
#include "common/TextCodec.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapFiles.h"
#include "support/SitemapSchema.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kDate = "2026-03-09";
const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";
const std::string kRootOpen = "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">";

std::string Entry(const std::string& loc, const std::string& lastmod = kDate) {
  return "    <url>\n"
         "        <loc>" + loc + "</loc>\n"
         "        <lastmod>" + lastmod + "</lastmod>\n"
         "        <changefreq>daily</changefreq>\n"
         "        <priority>0.5</priority>\n"
         "    </url>\n";
}

std::string Document(const std::vector<std::string>& locs) {
  std::string text = kDecl + "\n" + kRootOpen + "\n";
  for (const auto& loc : locs) text += Entry(loc);
  return text + "</urlset>\n";
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Gunzip(const fs::path& file) {
  std::string text;
  gzFile gz = gzopen(file.c_str(), "rb");
  if (!gz) return "<unreadable>";
  char buf[65536];
  int n;
  while ((n = gzread(gz, buf, sizeof(buf))) > 0) text.append(buf, n);
  gzclose(gz);
  return text;
}

// The same document built node by node with TinyXML and printed by its printer.
std::string PrintedByTinyXml(const std::vector<std::string>& addresses) {
  TiXmlDocument doc;
  doc.Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
            "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\r\n</urlset>\r\n");
  for (const auto& address : addresses) {
    const std::vector<std::pair<std::string, std::string>> children = {
        {"loc", address}, {"lastmod", kDate}, {"changefreq", "daily"}, {"priority", "0.5"}};
    TiXmlElement url("url");
    for (const auto& [key, value] : children) {
      TiXmlElement child(key.c_str());
      child.InsertEndChild(TiXmlText(value.c_str()));
      url.InsertEndChild(child);
    }
    doc.RootElement()->InsertEndChild(url);
  }
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return printer.CStr();
}

std::string Printed(CSitemapXmlWriter& writer) {
  std::string text;
  EXPECT_TRUE(writer.PrintCurrent(text).ok());
  return text;
}

}  // namespace

TEST(SitemapXmlWriterTest, SaveBeforeAnyAddressWritesDocumentZeroWithTheEmptyRoot) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  const std::string empty = kDecl + "\n" +
                            "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\" />\n";
  EXPECT_EQ(Printed(writer), empty);
  EXPECT_EQ(writer.currentIndex(), 0);
  EXPECT_TRUE(writer.SaveAll("", false).ok());
  EXPECT_TRUE(writer.SaveAll("", true).ok());
  EXPECT_EQ(ReadFileBytes("sitemap0.xml"), WithCrLf(empty));
  EXPECT_EQ(Gunzip("sitemap0.xml.gz"), empty);
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2);
}

TEST(SitemapXmlWriterTest, FilesHoldThePrinterFormWithCrLfPlainAndLfInGzip) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  EXPECT_TRUE(writer.AddUrl("http://example.com/").ok());
  EXPECT_TRUE(writer.AddUrl("http://example.com/a/b.html").ok());
  const std::string expected = Document({"http://example.com/", "http://example.com/a/b.html"});
  EXPECT_EQ(Printed(writer), expected);
  EXPECT_TRUE(writer.SaveAll("example.com", false).ok());
  EXPECT_TRUE(writer.SaveAll("example.com", true).ok());
  EXPECT_EQ(ReadFileBytes("example.com_sitemap0.xml"), WithCrLf(expected));
  EXPECT_EQ(Gunzip("example.com_sitemap0.xml.gz"), expected);
  EXPECT_FALSE(fs::exists("example.com_sitemap0.xml.part"));
}

TEST(SitemapXmlWriterTest, PrintedTextAndPlainFileEqualWhatTinyXmlBuildsAndSaves) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  const std::vector<std::string> addresses = {
      "http://example.com/", "http://example.com/q?a=1&b=2", "http://example.com/<x>",
      "http://example.com/\"quoted\"/'single'", "http://example.com/%41~!$()*+,;=:@[]{}|^`"};
  CSitemapXmlWriter writer(kDate);
  for (const auto& a : addresses) writer.AddUrl(a);
  EXPECT_EQ(Printed(writer), PrintedByTinyXml(addresses));

  writer.SaveAll("", false);
  TiXmlDocument reference;
  reference.Parse(PrintedByTinyXml(addresses).c_str());
  reference.SaveFile("reference.xml");  // LF only on this platform
  EXPECT_EQ(ReadFileBytes("sitemap0.xml"), WithCrLf(ReadFileBytes("reference.xml")));
}

TEST(SitemapXmlWriterTest, EntriesPutLocFirstInTheProtocolsOrderAndCarryTheLocalDay) {
  CSitemapXmlWriter writer;
  const auto& t = writer.childTemplate();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t.at("changefreq"), "daily");
  EXPECT_EQ(t.at("priority"), "0.5");
  EXPECT_EQ(t.at("lastmod"), LocalIsoDate());
  ASSERT_EQ(t.at("lastmod").size(), 10u);
  EXPECT_EQ(t.at("lastmod")[4], '-');
  EXPECT_EQ(t.at("lastmod")[7], '-');
  writer.AddUrl("http://h/");
  std::string text = Printed(writer);
  EXPECT_LT(text.find("<loc>"), text.find("<lastmod>"));
  EXPECT_LT(text.find("<lastmod>"), text.find("<changefreq>"));
  EXPECT_LT(text.find("<changefreq>"), text.find("<priority>"));
}

// The saved files, plain and gzip, against the protocol's schema; the order the writer once
// used (loc after lastmod and changefreq) is refused by it, so the check has teeth.
TEST(SitemapXmlWriterTest, SavedFilesAreValidAgainstTheProtocolsSchemaAndTheOldOrderIsNot) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  ASSERT_TRUE(writer.AddUrl("http://example.com/").ok());
  ASSERT_TRUE(writer.AddUrl("http://example.com/q?a=1&b=2", "2024-01-31T08:05:00+00:00").ok());
  ASSERT_TRUE(writer.SaveAll("site", false).ok());
  ASSERT_TRUE(writer.SaveAll("site", true).ok());
  EXPECT_EQ(SitemapSchemaProblems(ReadFileBytes("site_sitemap0.xml")), "");
  EXPECT_EQ(SitemapSchemaProblems(Gunzip("site_sitemap0.xml.gz")), "");

  std::string old = Document({"http://example.com/"});
  const std::string loc = "        <loc>http://example.com/</loc>\n";
  old.erase(old.find(loc), loc.size());
  old.insert(old.find("        <priority>"), loc);
  EXPECT_NE(SitemapSchemaProblems(old).find("This element is not expected. Expected is ( {http://www.sitemaps.org/schemas/sitemap/0.9}loc )"), std::string::npos) << old;
}

TEST(SitemapXmlWriterTest, LocEscapesAmpersandsButKeepsHexadecimalCharacterReferences) {
  CSitemapXmlWriter writer(kDate);
  writer.AddUrl("http://h/a?x=1&y=2");
  writer.AddUrl("http://h/caf&#xE9;/&#x4E2D;");
  writer.AddUrl("http://h/&#xZZ;&#x;&#x41");  // not references: escaped
  writer.AddUrl("http://h/&#x0;&#xD800;");     // references to characters XML forbids
  writer.AddUrl("http://h/&amp;&lt;");
  EXPECT_EQ(Printed(writer), Document({"http://h/a?x=1&amp;y=2", "http://h/caf&#xE9;/&#x4E2D;",
                                       "http://h/&amp;#xZZ;&amp;#x;&amp;#x41",
                                       "http://h/&amp;#x0;&amp;#xD800;",
                                       "http://h/&amp;amp;&amp;lt;"}));
}

TEST(SitemapXmlWriterTest, LocPercentEncodesSpacesControlBytesNonAsciiAndALonePercent) {
  CSitemapXmlWriter writer(kDate);
  writer.AddUrl("http://h/a b\tc\x01\x1f!~\x7f");
  writer.AddUrl("http://h/\xe7\xbd\x91/\x80\xff");  // UTF-8 text and high bytes
  writer.AddUrl("http://h/100%?a=%41");               // a lone % as the crawl requests it
  EXPECT_EQ(Printed(writer), Document({"http://h/a%20b%09c%01%1F!~%7F", "http://h/%E7%BD%91/%80%FF",
                                       "http://h/100%25?a=%41"}));
}

TEST(SitemapXmlWriterTest, SplitsAfterTheDocumentPassesTwoMillionBytesAndKeepsExactlyTwoMillion) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  const std::string base = "http://example.com/page/";
  const size_t frame = Document({}).size();
  const size_t entryFixed = Entry("").size();
  // Fill document 0 with entries of 100-byte addresses, then one address that makes the
  // printed length exactly 2,000,000.
  std::vector<std::string> doc0;
  size_t length = frame;
  while (length + 2 * (entryFixed + 100) <= CSitemapXmlWriter::kSplitSize) {
    doc0.push_back(base + std::string(100 - base.size() - 6, 'a') + std::to_string(100000 + doc0.size()));
    length += entryFixed + 100;
  }
  size_t fill = CSitemapXmlWriter::kSplitSize - length - entryFixed;
  doc0.push_back(base + std::string(fill - base.size(), 'z'));
  for (const auto& a : doc0) ASSERT_TRUE(writer.AddUrl(a).ok());
  ASSERT_EQ(Document(doc0).size(), 2000000u);  // the edge written out: the constant must not drift

  writer.AddUrl("http://example.com/still-zero");  // exactly 2,000,000 keeps the document
  EXPECT_EQ(writer.currentIndex(), 0);
  doc0.push_back("http://example.com/still-zero");
  writer.AddUrl("http://example.com/first-of-one");
  EXPECT_EQ(writer.currentIndex(), 1);
  EXPECT_EQ(writer.documentCount(), 2u);
  EXPECT_EQ(Printed(writer), Document({"http://example.com/first-of-one"}));

  EXPECT_TRUE(writer.SaveAll("site", false).ok());
  EXPECT_TRUE(writer.SaveAll("site", true).ok());
  EXPECT_EQ(ReadFileBytes("site_sitemap0.xml"), WithCrLf(Document(doc0)));
  EXPECT_EQ(ReadFileBytes("site_sitemap1.xml"), WithCrLf(Document({"http://example.com/first-of-one"})));
  EXPECT_EQ(Gunzip("site_sitemap0.xml.gz"), Document(doc0));
  EXPECT_EQ(Gunzip("site_sitemap1.xml.gz"), Document({"http://example.com/first-of-one"}));
  EXPECT_EQ(ReadFileBytes("site_sitemap0.xml"), WithCrLf(PrintedByTinyXml(doc0)));

  // The closed document is held as its gzip stream: byte for byte what zlib's file writer
  // gives for the same text, so every save writes the same file.
  ASSERT_TRUE(WriteGzipSitemapFile("direct.xml.gz", Document(doc0)).ok());
  EXPECT_EQ(ReadFileBytes("site_sitemap0.xml.gz"), ReadFileBytes("direct.xml.gz"));
}

TEST(SitemapXmlWriterTest, FileNamesFollowThePrefixAndAreOpenedInUtf8) {
  EXPECT_EQ(CSitemapXmlWriter::FileName("", 0, false), "sitemap0.xml");
  EXPECT_EQ(CSitemapXmlWriter::FileName("a.com", 12, true), "a.com_sitemap12.xml.gz");
  EXPECT_EQ(CSitemapXmlWriter::FileName("out/", 1, false), "out/_sitemap1.xml");
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  const std::string gbkPrefix = "网站";
  ASSERT_FALSE(gbkPrefix.empty());
  EXPECT_TRUE(writer.SaveAll(gbkPrefix, false).ok());
  EXPECT_TRUE(fs::exists(fs::u8path("网站_sitemap0.xml")));
}

TEST(SitemapXmlWriterTest, UnwritableTargetsWriteNothingKeepEarlierFilesAndNameTheFileThatFailed) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  writer.AddUrl("http://h/one");
  FileWriteResult failure;
  EXPECT_EQ(writer.SaveAll("missing/folder/", true, &failure).code(), StatusCode::kFileOpen);
  EXPECT_EQ(failure.code, StatusCode::kFileOpen);
  EXPECT_EQ(failure.path, (fs::current_path() / "missing/folder/_sitemap0.xml.gz").string());
  EXPECT_EQ(failure.systemError, ENOENT);
  EXPECT_EQ(writer.SaveAll("missing/folder/", false).code(), StatusCode::kFileOpen);
  EXPECT_FALSE(fs::exists("missing"));

  ASSERT_TRUE(writer.SaveAll("keep", false).ok());
  const std::string good = ReadFileBytes("keep_sitemap0.xml");
  writer.AddUrl("http://h/two");
  // A name the file cannot take (a folder stands there): the save fails, nothing is left over.
  fs::create_directory("keep_sitemap0.xml.gz");
  EXPECT_EQ(writer.SaveAll("keep", true, &failure).code(), StatusCode::kFileOpen);
  EXPECT_EQ(failure.step, WriteStep::Rename);
  EXPECT_EQ(failure.systemError, EISDIR);
  EXPECT_TRUE(writer.SaveAll("other", false, &failure).ok());
  EXPECT_TRUE(failure.ok());  // a good save leaves no failure behind
  EXPECT_TRUE(fs::is_directory("keep_sitemap0.xml.gz"));
  EXPECT_FALSE(fs::exists("keep_sitemap0.xml.gz.part"));

  if (geteuid() != 0) {  // permissions do not stop root
    fs::create_directory("ro");
    ASSERT_TRUE(writer.SaveAll("ro/", false).ok());
    const std::string before = ReadFileBytes("ro/_sitemap0.xml");
    chmod("ro", 0555);
    writer.AddUrl("http://h/three");
    EXPECT_EQ(writer.SaveAll("ro/", false).code(), StatusCode::kFileOpen);
    chmod("ro", 0755);
    EXPECT_EQ(ReadFileBytes("ro/_sitemap0.xml"), before);
  }
  EXPECT_EQ(ReadFileBytes("keep_sitemap0.xml"), good);
}

TEST(SitemapXmlWriterTest, EntriesCarryTheirOwnLastmodAndAnEmptyOneIsTheWritersDate) {
  CSitemapXmlWriter writer(kDate);
  const std::string pageDate = "2024-01-31T08:05:00+00:00";
  EXPECT_TRUE(writer.AddUrl("http://h/a", pageDate).ok());
  EXPECT_TRUE(writer.AddUrl("http://h/b", "").ok());
  EXPECT_TRUE(writer.AddUrl("http://h/c").ok());
  EXPECT_TRUE(writer.AddUrl("http://h/d", "<&>").ok());  // escaped like any element text
  const std::string expected = kDecl + "\n" + kRootOpen + "\n" + Entry("http://h/a", pageDate) + Entry("http://h/b") +
                               Entry("http://h/c") + Entry("http://h/d", "&lt;&amp;&gt;") + "</urlset>\n";
  EXPECT_EQ(Printed(writer), expected);

  // The same document built node by node by TinyXML.
  TiXmlDocument doc;
  doc.Parse(expected.c_str());
  ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
  TiXmlPrinter printer;
  doc.Accept(&printer);
  EXPECT_EQ(std::string(printer.CStr()), expected);
}

TEST(SitemapXmlWriterTest, LongerLastmodTextsCountTowardsTheSplitSize) {
  CSitemapXmlWriter writer(kDate);
  const std::string pageDate = "2024-01-31T08:05:00+00:00";
  const std::string address = "http://example.com/" + std::string(80, 'p');
  const size_t perEntry = Entry(address, pageDate).size();
  size_t length = Document({}).size();
  size_t added = 0;
  while (length <= CSitemapXmlWriter::kSplitSize) {
    ASSERT_TRUE(writer.AddUrl(address, pageDate).ok());
    length += perEntry;
    ++added;
  }
  EXPECT_EQ(writer.currentIndex(), 0);
  writer.AddUrl(address, pageDate);
  EXPECT_EQ(writer.currentIndex(), 1);
  EXPECT_EQ(added, (CSitemapXmlWriter::kSplitSize - Document({}).size()) / perEntry + 1);
}

TEST(SitemapXmlWriterTest, SaveAllNamesTheFilesItWroteAndLeavesOutTheOnesItCouldNot) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer(kDate);
  const std::string address = "http://example.com/" + std::string(200, 'x');
  while (writer.documentCount() < 3) writer.AddUrl(address);
  std::vector<std::string> saved = {"stale"};
  EXPECT_TRUE(writer.SaveAll("site", true, saved).ok());
  EXPECT_EQ(saved, (std::vector<std::string>{"site_sitemap0.xml.gz", "site_sitemap1.xml.gz", "site_sitemap2.xml.gz"}));
  fs::create_directory("site_sitemap1.xml");  // in the way of document 1's plain file
  EXPECT_EQ(writer.SaveAll("site", false, saved).code(), StatusCode::kFileOpen);
  EXPECT_EQ(saved, (std::vector<std::string>{"site_sitemap0.xml", "site_sitemap2.xml"}));
}
