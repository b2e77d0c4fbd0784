#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "support/SiteFiles.h"
#include "support/SitemapXml.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

Resource Html(const std::string& head, const std::vector<std::string>& links) {
  std::string html = "<html><head>" + head + "</head><body>";
  for (const std::string& link : links) html += "<a href=\"" + link + "\">x</a>";
  return Resource{200, "text/html", html + "</body></html>", ""};
}

std::vector<std::vector<std::string>> TsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    rows.push_back(fields);
  }
  return rows;
}

TEST(CliSitemapContentTest, OptionsShapeTheSitemapAndTheFailureFileNamesWhereEachLinkWasFound) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string origin = site.origin();
  site.Set("/", Html("", {"/a.html", "/copy.html", "/broken.html"}));
  site.Set("/a.html", Html("<link rel=\"alternate\" hreflang=\"fr\" href=\"http://127.0.0.2:8/fr/a.html\">"
                           "<link rel=\"alternate\" hreflang=\"en\" href=\"/a.html\">",
                           {"/b.html"}));
  site.Set("/b.html", Html("", {"/gone.html"}));
  site.Set("/copy.html", Html("<link rel=\"canonical\" href=\"/a.html\">", {}));
  TempDir work;
  ChildResult run = RunCommand({"-q", "--plain", "--canonical", "--hreflang", "--changefreq", "monthly",
                                "--priority=1.0,0.7", origin},
                               work.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::string prefix = SiteFiles(origin);
  const ParsedSitemap sitemap = ParseSitemapXml(ReadFileBytes(work.path() / (prefix + "_sitemap0.xml")));
  ASSERT_TRUE(sitemap.ok) << sitemap.problem;
  EXPECT_TRUE(sitemap.declaresXhtml);
  ASSERT_EQ(sitemap.urls.size(), 3u);  // /, /a.html, /b.html: the copy names /a.html
  EXPECT_EQ(sitemap.urls[0].loc, origin + "/");
  EXPECT_EQ(sitemap.urls[0].priority, "1.0");
  EXPECT_EQ(sitemap.urls[1].loc, origin + "/a.html");
  EXPECT_EQ(sitemap.urls[1].changefreq, "monthly");
  EXPECT_EQ(sitemap.urls[1].priority, "0.7");
  EXPECT_EQ(sitemap.urls[1].alternates, (std::vector<std::pair<std::string, std::string>>{
                                            {"fr", "http://127.0.0.2:8/fr/a.html"}, {"en", origin + "/a.html"}}));
  EXPECT_EQ(sitemap.urls[2].priority, "0.7");  // depth 2: the last value holds
  // The URL list keeps the page left out of the sitemap.
  EXPECT_NE(ReadFileBytes(work.path() / (prefix + "_urls.txt")).find(origin + "/copy.html"), std::string::npos);

  auto rows = TsvRows(ReadFileBytes(work.path() / (prefix + "_failed.tsv")));
  std::sort(rows.begin(), rows.end());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"/broken.html", "404", rows[0][2], origin + "/"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"/gone.html", "404", rows[1][2], origin + "/b.html"}));
  EXPECT_FALSE(rows[0][2].empty());

  // Without the options: today's sitemap, every page with daily and 0.5, no xhtml prefix.
  TempDir plain;
  ASSERT_EQ(RunCommand({"-q", "--plain", origin}, plain.path()).exitStatus, 0);
  const ParsedSitemap defaults = ParseSitemapXml(ReadFileBytes(plain.path() / (prefix + "_sitemap0.xml")));
  ASSERT_TRUE(defaults.ok) << defaults.problem;
  EXPECT_FALSE(defaults.declaresXhtml);
  ASSERT_EQ(defaults.urls.size(), 4u);
  for (const ParsedSitemapUrl& url : defaults.urls) {
    EXPECT_EQ(url.changefreq, "daily");
    EXPECT_EQ(url.priority, "0.5");
    EXPECT_TRUE(url.alternates.empty());
  }
}

TEST(CliSitemapContentTest, BadChangefreqOrPriorityIsAUsageErrorAndNoneLeavesTheElementOut) {
  TempDir work;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--changefreq", "often", "http://127.0.0.1:9/"},
                                             {"--priority", "1.5", "http://127.0.0.1:9/"},
                                             {"--priority=0.5,x", "http://127.0.0.1:9/"},
                                             {"--changefreq"}}) {
    ChildResult run = RunCommand(args, work.path());
    EXPECT_EQ(run.exitStatus, 2) << args[0];
    EXPECT_NE(run.err.find(args[0].substr(0, args[0].find('='))), std::string::npos) << run.err;
  }
  EXPECT_TRUE(fs::is_empty(work.path()));

  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Html("", {}));
  ASSERT_EQ(RunCommand({"-q", "--plain", "--changefreq", "none", "--priority", "none", site.origin()}, work.path())
                .exitStatus,
            0);
  const ParsedSitemap sitemap = ParseSitemapXml(ReadFileBytes(work.path() / (SiteFiles(site.origin()) + "_sitemap0.xml")));
  ASSERT_TRUE(sitemap.ok) << sitemap.problem;
  ASSERT_EQ(sitemap.urls.size(), 1u);
  EXPECT_FALSE(sitemap.urls[0].hasChangefreq);
  EXPECT_FALSE(sitemap.urls[0].hasPriority);
  const ChildResult help = RunCommand({"--help"}, work.path());
  for (const char* option : {"--canonical", "--hreflang", "--changefreq", "--priority"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

}  // namespace

// --lastmod-from content: the history below the working folder, the changes file and its
// counts, --changes-only's sitemap beside the full one; --lastmod-from none writes no lastmod
// and --lastmod still means header.
TEST(CliSitemapContentTest, LastmodFromContentWritesTheChangesAndTheirSitemapAndNoneWritesNoLastmod) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string origin = site.origin();
  Resource dated = Html("", {});
  dated.headers["Last-Modified"] = "Fri, 01 May 2020 10:00:00 GMT";
  site.Set("/", Html("", {"/a.html", "/b.html"}));
  site.Set("/a.html", dated);
  site.Set("/b.html", Html("<title>b</title>", {}));
  TempDir work;
  const std::vector<std::string> args = {"--plain", "--changes-only", "--lastmod-from", "content", origin};
  ChildResult first = RunCommand(args, work.path());
  ASSERT_EQ(first.exitStatus, 0) << first.err;
  EXPECT_NE(first.err.find("since the last crawl 3 new, 0 changed, 0 gone (新网页3个 已更改0个 已消失0个)"), std::string::npos)
      << first.err;
  EXPECT_TRUE(fs::is_directory(work.path() / "db" / "history" / SiteFiles(origin)));

  site.Set("/", Html("", {"/a.html"}));  // b is gone, the root changed
  ChildResult second = RunCommand(args, work.path());
  ASSERT_EQ(second.exitStatus, 0) << second.err;
  EXPECT_NE(second.err.find("0 new, 1 changed, 1 gone"), std::string::npos) << second.err;
  const std::string prefix = SiteFiles(origin);
  auto rows = TsvRows(ReadFileBytes(work.path() / (prefix + "_changes.tsv")));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "changed");
  EXPECT_EQ(rows[0][1], origin + "/");
  EXPECT_EQ(rows[1][0], "gone");
  EXPECT_EQ(rows[1][1], origin + "/b.html");
  const ParsedSitemap changed = ParseSitemapXml(ReadFileBytes(work.path() / (prefix + "_changed_sitemap0.xml")));
  ASSERT_TRUE(changed.ok) << changed.problem;
  ASSERT_EQ(changed.urls.size(), 1u);
  EXPECT_EQ(changed.urls[0].loc, origin + "/");
  const ParsedSitemap full = ParseSitemapXml(ReadFileBytes(work.path() / (prefix + "_sitemap0.xml")));
  ASSERT_TRUE(full.ok) << full.problem;
  ASSERT_EQ(full.urls.size(), 2u);
  EXPECT_EQ(full.urls[1].lastmod, "2020-05-01T10:00:00+00:00");  // unchanged: its first date stays

  TempDir none;
  ASSERT_EQ(RunCommand({"-q", "--plain", "--lastmod-from", "none", origin}, none.path()).exitStatus, 0);
  const std::string text = ReadFileBytes(none.path() / (prefix + "_sitemap0.xml"));
  EXPECT_EQ(text.find("<lastmod>"), std::string::npos);
  EXPECT_TRUE(ParseSitemapXml(text).ok) << ParseSitemapXml(text).problem;
  EXPECT_FALSE(fs::exists(none.path() / (prefix + "_changes.tsv")));
  TempDir header;
  ASSERT_EQ(RunCommand({"-q", "--plain", "--lastmod", origin}, header.path()).exitStatus, 0);
  EXPECT_NE(ReadFileBytes(header.path() / (prefix + "_sitemap0.xml")).find("<lastmod>2020-05-01T10:00:00+00:00</lastmod>"),
            std::string::npos);
  ChildResult junk = RunCommand({"--lastmod-from", "yesterday", origin}, header.path());
  EXPECT_EQ(junk.exitStatus, 2);
  EXPECT_NE(junk.err.find("start, header, content, none"), std::string::npos) << junk.err;
}
