#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "crawl/CrawlTestSite.h"
#include "output/CSitemapXmlWriter.h"
#include "support/SitemapXml.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"
#include "common/Status.h"

namespace {

std::string Page(const std::string& head, const std::vector<std::string>& links) {
  std::string html = "<html><head><title>t</title>" + head + "</head><body>";
  for (const std::string& link : links) html += "<p><a href=\"" + link + "\">x</a></p>";
  return html + "</body></html>";
}

Resource Html(const std::string& head, const std::vector<std::string>& links) {
  return Resource{200, "text/html", Page(head, links)};
}

std::string Canonical(const std::string& href) { return "<link rel=\"canonical\" href=\"" + href + "\">"; }

// A site with canonical pages of every kind, pages at depths 0 to 4, language alternates and
// broken links on known pages.
class SitemapContentCrawlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_.Set("/", Html("", {"self.html", "dup.html", "x.html", "away.html", "lang.html", "d1.html"}));
    site_.Set("/self.html", Html(Canonical("self.html"), {}));
    site_.Set("/dup.html", Html(Canonical("/d1.html"), {}));
    site_.Set("/x.html", Html(Canonical("only.html"), {}));
    site_.Set("/only.html", Html("", {}));
    site_.Set("/away.html", Html(Canonical("http://127.0.0.3:9/elsewhere.html"), {}));
    site_.Set("/lang.html", Html("<link rel=\"alternate\" hreflang=\"en\" href=\"lang.html\">"
                                 "<link rel=\"alternate\" hreflang=\"de\" href=\"/de/lang.html?a=1&amp;b=2\">"
                                 "<link rel=\"Alternate\" hreflang=\"zh-CN\" href=\"http://127.0.0.2:8/中文/lang.html\">"
                                 "<link rel=\"stylesheet\" href=\"s.css\">",
                                 {}));
    site_.Set("/d1.html", Html("", {"d2.html"}));
    site_.Set("/d2.html", Html("", {"d3.html", "missing.html"}));
    site_.Set("/d3.html", Html("", {"d4.html", "moved.html"}));
    site_.Set("/d4.html", Html("", {}));
    site_.Set("/moved.html", Resource{301, "text/html", "", "/gone.html"});
    site_.Set("/de/lang.html", Resource{404, "text/html", "gone"});
    ASSERT_TRUE(site_.Start());
    origin_ = site_.origin();
  }

  std::string At(const std::string& path) const { return origin_ + path; }

  // The sitemap's entries by address, parsed back from the printed document.
  std::map<std::string, ParsedSitemapUrl> SitemapOf(CrawlRun& run, bool xhtml) {
    std::string text;
    EXPECT_TRUE(run.results().sitemap()->PrintCurrent(text).ok());
    const ParsedSitemap parsed = ParseSitemapXml(text);
    EXPECT_TRUE(parsed.ok) << parsed.problem;
    EXPECT_EQ(parsed.declaresXhtml, xhtml);
    std::map<std::string, ParsedSitemapUrl> byLoc;
    for (const ParsedSitemapUrl& url : parsed.urls) byLoc[url.loc] = url;
    return byLoc;
  }

  StaticSite site_;
  std::string origin_;
};

TEST_F(SitemapContentCrawlTest, CanonicalAlternatesAndPriorityByDepthShapeTheSitemapButNotTheUrlList) {
  CrawlRun run;
  CrawlRun::Options options;
  options.sitemap.canonicalOnly = true;
  options.sitemap.languageAlternates = true;
  options.sitemap.changefreq = "weekly";
  options.sitemap.priorities = {"1.0", "0.8", "0.6", "0.4"};
  ASSERT_TRUE(run.Crawl(origin_ + "/", options));

  const auto sitemap = SitemapOf(run, true);
  std::vector<std::string> listed;
  for (const auto& [loc, url] : sitemap) listed.push_back(loc);
  // Left out: a page naming another page of the site, and one naming another site.
  EXPECT_EQ(listed, (std::vector<std::string>{At("/"), At("/d1.html"), At("/d2.html"), At("/d3.html"), At("/d4.html"),
                                              At("/lang.html"), At("/only.html"), At("/self.html")}));
  // Depth 0 to 4; the page only a canonical names is one below the page naming it.
  const std::map<std::string, std::string> priority = {
      {"/", "1.0"}, {"/d1.html", "0.8"}, {"/d2.html", "0.6"}, {"/d3.html", "0.4"}, {"/d4.html", "0.4"},
      {"/lang.html", "0.8"}, {"/only.html", "0.6"}, {"/self.html", "0.8"}};
  for (const auto& [path, value] : priority) {
    EXPECT_EQ(sitemap.at(At(path)).priority, value) << path;
    EXPECT_EQ(sitemap.at(At(path)).changefreq, "weekly") << path;
  }
  EXPECT_EQ(sitemap.at(At("/lang.html")).alternates,
            (LanguageAlternates{{"en", At("/lang.html")},
                                {"de", At("/de/lang.html?a=1&b=2")},
                                {"zh-CN", "http://127.0.0.2:8/%E4%B8%AD%E6%96%87/lang.html"}}));
  for (const auto& [loc, url] : sitemap)
    if (loc != At("/lang.html")) EXPECT_TRUE(url.alternates.empty()) << loc;

  // The URL list keeps every fetched page; another site's canonical is not followed, and
  // an alternate is no link.
  std::vector<std::string> fetched = run.results().FetchedAddresses();
  std::sort(fetched.begin(), fetched.end());
  EXPECT_EQ(fetched, (std::vector<std::string>{At("/"), At("/away.html"), At("/d1.html"), At("/d2.html"),
                                               At("/d3.html"), At("/d4.html"), At("/dup.html"), At("/lang.html"),
                                               At("/only.html"), At("/self.html"), At("/x.html")}));
  EXPECT_EQ(site_.count("/de/lang.html?a=1&b=2"), 0u);
  EXPECT_EQ(site_.count("/only.html"), 1u);

  // Each failure names the page whose link led to it; the redirect's target names the redirect.
  std::vector<FailedPage> failures = run.results().Failures();
  std::sort(failures.begin(), failures.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_EQ(failures[0].path, "/gone.html");
  EXPECT_EQ(failures[0].foundOn, At("/moved.html"));
  EXPECT_EQ(failures[1].path, "/missing.html");
  EXPECT_EQ(failures[1].outcome, PageOutcome::Status(404));
  EXPECT_EQ(failures[1].foundOn, At("/d2.html"));
  EXPECT_EQ(failures[2].path, "/moved.html");
  EXPECT_EQ(failures[2].outcome, PageOutcome::Status(301));
  EXPECT_EQ(failures[2].foundOn, At("/d3.html"));

  TempDir dir;
  ASSERT_TRUE(run.results().SaveFailures(dir.str()).ok());
  const std::string tsv = ReadFileBytes(dir.path() / CrawlResults::FailureListName(run.results().SiteName()));
  EXPECT_NE(tsv.find("/missing.html\t404\t"), std::string::npos);
  EXPECT_NE(tsv.find("\t" + At("/d2.html") + "\n"), std::string::npos);
  ASSERT_TRUE(run.results().SaveSitemap(dir.str(), false).ok());
  const ParsedSitemap saved = ParseSitemapXml(
      ReadFileBytes(dir.path() / CSitemapXmlWriter::FileName(run.results().SiteName(), 0, false)));
  ASSERT_TRUE(saved.ok) << saved.problem;
  EXPECT_TRUE(saved.declaresXhtml);
  EXPECT_EQ(saved.urls.size(), 8u);
}

TEST_F(SitemapContentCrawlTest, DefaultsListEveryFetchedPageWithDailyAndHalfAndNoAlternates) {
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(origin_ + "/", CrawlRun::Options{}));
  const auto sitemap = SitemapOf(run, false);
  // Canonical links are not read: the page only a canonical names is never fetched.
  EXPECT_EQ(sitemap.size(), 10u);
  EXPECT_EQ(sitemap.count(At("/dup.html")), 1u);
  EXPECT_EQ(sitemap.count(At("/only.html")), 0u);
  for (const auto& [loc, url] : sitemap) {
    EXPECT_EQ(url.changefreq, "daily") << loc;
    EXPECT_EQ(url.priority, "0.5") << loc;
    EXPECT_TRUE(url.alternates.empty()) << loc;
  }
  std::string text;
  ASSERT_TRUE(run.results().sitemap()->PrintCurrent(text).ok());
  EXPECT_EQ(text.find("xhtml"), std::string::npos);
  EXPECT_NE(text.find("    <url>\n        <loc>" + At("/d4.html") + "</loc>\n        <lastmod>" + LocalIsoDate() +
                      "</lastmod>\n        <changefreq>daily</changefreq>\n        <priority>0.5</priority>\n    </url>\n"),
            std::string::npos);
  // The start address was linked by no page.
  for (const FailedPage& failure : run.results().Failures())
    EXPECT_FALSE(failure.foundOn.empty()) << failure.path;
}

TEST(SitemapContentNofollowTest, ANofollowPageLeadsToNeitherItsLinksNorItsCanonicalPage) {
  StaticSite site;
  site.Set("/", Html("", {"/closed.html", "/open.html"}));
  site.Set("/closed.html", Html("<meta name=\"robots\" content=\"nofollow\">" + Canonical("/closed-main.html"),
                                {"/closed-link.html"}));
  site.Set("/open.html", Html(Canonical("/open-main.html"), {}));
  for (const char* path : {"/closed-main.html", "/closed-link.html", "/open-main.html"}) site.Set(path, Html("", {}));
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  CrawlRun::Options options;
  options.rules.obeyRobots = true;
  options.sitemap.canonicalOnly = true;
  ASSERT_TRUE(run.Crawl(site.origin() + "/", options));
  EXPECT_EQ(site.count("/closed-main.html"), 0u);
  EXPECT_EQ(site.count("/closed-link.html"), 0u);
  EXPECT_EQ(site.count("/open-main.html"), 1u);
  // What the page says of its own listing holds under nofollow: it names another page.
  std::vector<std::string> fetched = run.results().FetchedAddresses();
  std::sort(fetched.begin(), fetched.end());
  EXPECT_EQ(fetched, (std::vector<std::string>{site.origin() + "/", site.origin() + "/closed.html",
                                               site.origin() + "/open-main.html", site.origin() + "/open.html"}));
  std::string text;
  ASSERT_TRUE(run.results().sitemap()->PrintCurrent(text).ok());
  EXPECT_EQ(text.find("/closed.html"), std::string::npos);
  EXPECT_NE(text.find("/open-main.html"), std::string::npos);
}

}  // namespace

// Images in every form a page shows them, on the site and on another host, with what must be
// skipped among them; none of them is ever requested.
TEST(SitemapImagesCrawlTest, EachPageListsItsImagesOnceInDocumentOrderAtMostAThousandAndNoneIsFetched) {
  StaticSite site, cdn;
  ASSERT_TRUE(cdn.Start());
  const std::string cdnImage = cdn.origin() + "/img/hero.jpg";
  const std::string longImage = "/" + std::string(2100, 'l') + ".png";
  site.Set("/", Resource{200, "text/html",
                         "<html><head><title>t</title></head><body>"
                         "<img src=\"a.png\"><img srcset=\"  b-1x.png 1x, b-2x.png 2x\" alt=b>"
                         "<img src=\"c.png\" srcset=\"c-2x.png 2x\">"
                         "<picture><source type=\"image/webp\" srcset=\"p.webp 480w, p-big.webp 960w\">"
                         "<img src=\"p.jpg\"></picture>"
                         "<img src=\"" + cdnImage + "\"><img src=\"/图 片.png?s=1&amp;t=2\">"
                         "<img src=\"data:image/png;base64,iVBORw0KGgo=\"><img src=\"javascript:alert(1)\">"
                         "<img src=\"a.png#again\"><img srcset=\",, ,\"><img srcset=\"j.png junk\">"
                         "<img src=\"http://[::1\"><img src=\"" + longImage + "\">"
                         "<p><a href=\"many.html\">many</a> <a href=\"plain.html\">plain</a></p></body></html>"});
  std::string many = "<html><head><title>m</title></head><body>";
  for (int i = 0; i < 1100; ++i) many += "<div><img src=\"/m/image-number-" + std::to_string(i) + ".png\"></div>";
  site.Set("/many.html", Resource{200, "text/html", many + "</body></html>"});
  site.Set("/plain.html", Resource{200, "text/html", "<html><body><p>no images</p></body></html>"});
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();

  CrawlRun run;
  CrawlRun::Options options;
  options.sitemap.images = true;
  ASSERT_TRUE(run.Crawl(o + "/", options));
  std::string text;
  ASSERT_TRUE(run.results().sitemap()->PrintCurrent(text).ok());
  const ParsedSitemap parsed = ParseSitemapXml(text);  // also valid against the schemas
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_TRUE(parsed.declaresImage);
  std::map<std::string, ParsedSitemapUrl> byLoc;
  for (const ParsedSitemapUrl& url : parsed.urls) byLoc[url.loc] = url;
  ASSERT_EQ(byLoc.size(), 3u);
  EXPECT_EQ(byLoc[o + "/"].images,
            (std::vector<std::string>{o + "/a.png", o + "/b-1x.png", o + "/c.png", o + "/p.webp", o + "/p.jpg", cdnImage,
                                      o + "/%E5%9B%BE%20%E7%89%87.png?s=1&t=2"}));
  const std::vector<std::string>& listed = byLoc[o + "/many.html"].images;
  ASSERT_EQ(listed.size(), 1000u);
  EXPECT_EQ(listed.front(), o + "/m/image-number-0.png");
  EXPECT_EQ(listed.back(), o + "/m/image-number-999.png");
  EXPECT_TRUE(byLoc[o + "/plain.html"].images.empty());
  // The images are listed, never fetched.
  EXPECT_EQ(site.targets().size(), 3u);
  EXPECT_TRUE(cdn.targets().empty());

  // Off (the default): no image element and no image prefix.
  CrawlRun plain;
  ASSERT_TRUE(plain.Crawl(o + "/", CrawlRun::Options{}));
  ASSERT_TRUE(plain.results().sitemap()->PrintCurrent(text).ok());
  EXPECT_EQ(text.find("image"), std::string::npos);
}
