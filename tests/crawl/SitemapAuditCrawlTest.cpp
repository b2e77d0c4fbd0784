#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "crawl/CrawlTestSite.h"
#include "output/AuditReport.h"
#include "support/AuditSite.h"

namespace {

// kind, address and code of each row, sorted; detail checked where it matters.
std::vector<std::string> Rows(const std::vector<AuditRow>& rows) {
  std::vector<std::string> lines;
  for (const AuditRow& row : rows)
    lines.push_back(std::string(AuditKindWord(row.kind)) + " " + row.address + " " + row.outcome.Text());
  std::sort(lines.begin(), lines.end());
  return lines;
}

const AuditRow* Find(const std::vector<AuditRow>& rows, AuditKind kind, const std::string& address) {
  for (const AuditRow& row : rows)
    if (row.kind == kind && row.address == address) return &row;
  return nullptr;
}

std::vector<SitemapFault> Faults(const std::vector<AuditRow>& rows) {
  std::vector<SitemapFault> faults;
  for (const AuditRow& row : rows)
    if (row.finding) faults.push_back(row.finding->fault);
  std::sort(faults.begin(), faults.end());
  return faults;
}

class SitemapAuditCrawlTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(site_.Start()); }

  std::vector<AuditRow> Audit(bool robots, CrawlRun& run, const std::string& userAgent = "") {
    CrawlRun::Options options;
    options.rules.auditSitemap = true;
    options.rules.obeyRobots = robots;
    options.rules.userAgent = userAgent;
    EXPECT_TRUE(run.Crawl(site_.origin() + "/", options));
    return run.session->auditRows();
  }

  AuditSite site_;
};

}  // namespace

TEST_F(SitemapAuditCrawlTest, EveryKindIsFoundAndNoDisallowedOrOffsitePageIsRequested) {
  CrawlRun run;
  const std::vector<AuditRow> rows = Audit(true, run);
  const std::string sm1 = site_.At("/sm1.xml.gz"), sm2 = site_.At("/sm2.xml"), index = site_.At("/sitemap_index.xml");
  std::vector<std::string> expected = {
      "blocked " + site_.At("/private/secret.html") + " ",
      "canonicalised " + site_.At("/canon.html") + " 200",
      "error " + site_.At("/gone.html") + " 404",
      "missing " + site_.At("/b.html") + " 200",
      "noindex " + site_.At("/noindex.html") + " 200",
      "offsite " + site_.Other("/elsewhere.xml") + " ",
      "offsite " + site_.Other("/x.html") + " ",
      "orphan " + site_.At("/gone.html") + " 404",
      "orphan " + site_.At("/orphan.html") + " 200",
      "redirect " + site_.At("/moved.html") + " 301",
      "toolong " + site_.LongAddress() + " ",
  };
  for (const std::string& doc : {sm1, sm2, sm2, sm2, sm2, index}) expected.push_back("format " + doc + " ");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Rows(rows), expected);
  EXPECT_EQ(Faults(rows), (std::vector<SitemapFault>{SitemapFault::Namespace, SitemapFault::Lastmod,
                                                     SitemapFault::Changefreq, SitemapFault::Priority,
                                                     SitemapFault::Duplicate, SitemapFault::IndexLoop}));

  EXPECT_EQ(Find(rows, AuditKind::Redirect, site_.At("/moved.html"))->detail, site_.At("/a.html"));
  EXPECT_EQ(Find(rows, AuditKind::Canonicalised, site_.At("/canon.html"))->detail, site_.At("/a.html"));
  EXPECT_EQ(Find(rows, AuditKind::Orphan, site_.At("/orphan.html"))->detail, sm1);
  EXPECT_EQ(Find(rows, AuditKind::Offsite, site_.Other("/elsewhere.xml"))->detail, "robots.txt");
  EXPECT_EQ(AuditDetail(*Find(rows, AuditKind::Format, sm1)), "lastmod '2024-13-45' is not W3C date-time (line 4)");

  // The orphan is fetched once, its link never; robots.txt's refusal and the other site are
  // never asked for anything.
  EXPECT_EQ(site_.site.count("/orphan.html"), 1u);
  EXPECT_EQ(site_.site.count("/never.html"), 0u);
  EXPECT_EQ(site_.site.count("/private/secret.html"), 0u);
  EXPECT_TRUE(site_.other.targets().empty());
  // Each document once, though the index names itself.
  EXPECT_EQ(site_.site.count("/sitemap_index.xml"), 1u);
  EXPECT_EQ(site_.site.count("/sitemap.xml"), 0u);
  // Orphans are pages of the site like any other: in the results.
  const std::vector<std::string> fetched = run.results().FetchedAddresses();
  EXPECT_NE(std::find(fetched.begin(), fetched.end(), site_.At("/orphan.html")), fetched.end());
}

TEST_F(SitemapAuditCrawlTest, WithoutRobotsRulesARefusedEntryIsFetchedAndStillReportedAndEveryRequestIsTheCrawls) {
  CrawlRun run;
  const std::vector<AuditRow> rows = Audit(false, run, "AuditBot/1.0");
  EXPECT_NE(Find(rows, AuditKind::Blocked, site_.At("/private/secret.html")), nullptr);
  EXPECT_EQ(site_.site.count("/private/secret.html"), 1u);
  // A noindex page is reported though the rules do not obey it (and it stays in the results).
  EXPECT_NE(Find(rows, AuditKind::Noindex, site_.At("/noindex.html")), nullptr);
  const std::vector<std::string> fetched = run.results().FetchedAddresses();
  EXPECT_NE(std::find(fetched.begin(), fetched.end(), site_.At("/noindex.html")), fetched.end());
  EXPECT_TRUE(site_.other.targets().empty());
  // robots.txt is read for its Sitemap: lines although its rules are off; the documents go
  // out with the crawl's user agent like its pages.
  EXPECT_EQ(site_.site.count("/robots.txt"), 1u);
  const std::vector<std::string> agents = site_.site.userAgents();
  ASSERT_FALSE(agents.empty());
  for (const std::string& agent : agents) EXPECT_EQ(agent, "AuditBot/1.0");
}

TEST_F(SitemapAuditCrawlTest, OffTheCrawlAsksForNoSitemapAndHasNoRows) {
  CrawlRun run;
  CrawlRun::Options options;
  ASSERT_TRUE(run.Crawl(site_.origin() + "/", options));
  EXPECT_TRUE(run.session->auditRows().empty());
  for (const char* path : {"/robots.txt", "/sitemap_index.xml", "/sm1.xml.gz", "/orphan.html"})
    EXPECT_EQ(site_.site.count(path), 0u) << path;
}

// Documents found by their usual names, each bad in its own way.
TEST(SitemapAuditBadInputTest, ProbedDocumentsLoopsAndBrokenFilesGiveFormatRows) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string ns = "http://www.sitemaps.org/schemas/sitemap/0.9";
  // No robots.txt: /sitemap.xml is an index of a loop, an HTML page, an empty file, a fake
  // gzip and a document cut short.
  site.Set("/", Resource{200, "text/html", "<html><body><a href=\"p.html\">p</a></body></html>"});
  site.Set("/p.html", Resource{200, "text/html", "<html><body>p</body></html>"});
  auto index = [&](const std::vector<std::string>& docs) {
    std::string text = "<sitemapindex xmlns=\"" + ns + "\">";
    for (const std::string& doc : docs) text += "<sitemap><loc>" + site.origin() + doc + "</loc></sitemap>";
    return Resource{200, "text/xml", text + "</sitemapindex>"};
  };
  site.Set("/sitemap.xml", index({"/loop1.xml", "/page.html", "/empty.xml", "/fake.gz", "/cut.xml", "/missing.xml"}));
  site.Set("/loop1.xml", index({"/loop2.xml"}));
  site.Set("/loop2.xml", index({"/loop1.xml"}));
  site.Set("/page.html", Resource{200, "text/html", "<html><head><title>x</title></head><body>hi</body></html>"});
  site.Set("/empty.xml", Resource{200, "text/xml", ""});
  site.Set("/fake.gz", Resource{200, "application/gzip", "\x1f\x8b not gzip"});
  site.Set("/cut.xml", Resource{200, "text/xml", "<urlset xmlns=\"" + ns + "\"><url><loc>" + site.origin() + "/p.html</loc></url><url><lo"});
  CrawlRun run;
  CrawlRun::Options options;
  options.rules.auditSitemap = true;
  ASSERT_TRUE(run.Crawl(site.origin() + "/", options));
  const std::vector<AuditRow> rows = run.session->auditRows();
  std::vector<SitemapFault> expected = {SitemapFault::NotSitemap, SitemapFault::NotWellFormed, SitemapFault::Empty,
                                        SitemapFault::NotGzip,    SitemapFault::IndexLoop,     SitemapFault::Unreadable};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Faults(rows), expected);
  // The page the cut document still names is crawled, so it is no orphan; only the root,
  // which their sitemap does not list, is missing.
  EXPECT_EQ(Rows(rows).front(), "format " + site.origin() + "/cut.xml ");
  size_t missing = 0;
  for (const AuditRow& row : rows) missing += row.kind == AuditKind::Missing;
  EXPECT_EQ(missing, 1u);
  EXPECT_NE(Find(rows, AuditKind::Missing, site.origin() + "/"), nullptr);
  EXPECT_EQ(site.count("/loop1.xml"), 1u);
  EXPECT_EQ(site.count("/loop2.xml"), 1u);
}

// A site with no sitemap at all: every usual name is asked once, and one row says so, so the
// crawled pages listed as missing read as what they are.
TEST(SitemapAuditBadInputTest, ASiteWithoutASitemapGetsOneRowSayingSo) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", "<html><body><a href=\"p.html\">p</a></body></html>"});
  site.Set("/p.html", Resource{200, "text/html", "<html><body>p</body></html>"});
  CrawlRun run;
  CrawlRun::Options options;
  options.rules.auditSitemap = true;
  ASSERT_TRUE(run.Crawl(site.origin() + "/", options));
  const std::vector<AuditRow> rows = run.session->auditRows();
  EXPECT_EQ(Faults(rows), std::vector<SitemapFault>{SitemapFault::NotFound});
  const AuditRow* none = Find(rows, AuditKind::Format, site.origin() + "/sitemap.xml");
  ASSERT_NE(none, nullptr);
  EXPECT_NE(AuditDetail(*none).find("no sitemap"), std::string::npos);
  EXPECT_EQ(rows.size(), 3u);  // and the two pages, missing from it
  for (const char* path : {"/sitemap.xml", "/sitemap_index.xml", "/sitemap.txt"}) EXPECT_EQ(site.count(path), 1u) << path;
}
