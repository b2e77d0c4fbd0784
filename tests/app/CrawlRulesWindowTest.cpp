#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <set>

#include "AppTestSupport.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "app/CDlgSubGoogle.h"
#include "settings/CSetupManager.h"
#include "support/StaticSite.h"
#include "render/PageRenderer.h"
#include "app/CDlgSubYahoo.h"

namespace fs = std::filesystem;

namespace {

class CrawlRulesWindowTest : public WindowTest {};

TEST_F(CrawlRulesWindowTest, TheRulesOfTheSettingsReachTheCrawl) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/robots.txt", Resource{200, "text/plain", "User-agent: pagebot\nDisallow: /secret\n", ""});
  site.Set("/", Resource{200, "text/html", PageLinking({"/secret/a.html", "/open.html"}), ""});
  Resource open{200, "text/html", PageLinking({}), ""};
  open.headers["Last-Modified"] = "Tue, 15 Nov 1994 08:12:31 GMT";
  site.Set("/open.html", open);
  site.Set("/secret/a.html", Resource{200, "text/html", PageLinking({}), ""});
  CSetupManager& setup = Window().setup();
  setup.obeyRobots = 1;
  setup.userAgent = "PageBot/3";
  setup.lastmodFromHeader = 1;
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());

  const std::vector<std::string> targets = site.targets();
  EXPECT_EQ(std::set<std::string>(targets.begin(), targets.end()),
            (std::set<std::string>{"/robots.txt", "/", "/open.html"}));
  for (const std::string& agent : site.userAgents()) EXPECT_EQ(agent, "PageBot/3");
  const std::wstring sitemap = Window().googlePage()->GetItemText(CDlgSubGoogle::kIdText);
  EXPECT_NE(sitemap.find(L"<lastmod>1994-11-15T08:12:31+00:00</lastmod>"), std::wstring::npos);
}

TEST_F(CrawlRulesWindowTest, SaveWritesAnIndexBesideSeveralSitemapFilesWhenTheSettingAsks) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", PageLinking({}), ""});
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  // Enough addresses for a second document.
  CSitemapXmlWriter& writer = *Window().crawl()->results()->sitemap();
  for (int i = 0; i < 15000; ++i) writer.AddUrl(site.origin() + "/extra/" + std::to_string(i) + ".html");
  CDlgSubGoogle& page = *Window().googlePage();
  ASSERT_GE(Window().crawl()->results()->sitemap()->documentCount(), 2u);
  page.CheckItem(CDlgSubGoogle::kIdGzip, false);

  ASSERT_TRUE(page.Save());
  const std::string prefix = SiteFiles(site.origin());
  EXPECT_FALSE(fs::exists(prefix + "_sitemap_index.xml"));  // the setting is off

  Window().setup().sitemapIndex = 1;
  ASSERT_TRUE(page.Save());
  TiXmlDocument index;
  ASSERT_TRUE(index.LoadFile(prefix + "_sitemap_index.xml"));
  std::vector<std::string> locs;
  for (const TiXmlElement* e = index.RootElement()->FirstChildElement("sitemap"); e; e = e->NextSiblingElement("sitemap"))
    locs.push_back(e->FirstChildElement("loc")->GetText());
  ASSERT_EQ(locs.size(), Window().crawl()->results()->sitemap()->documentCount());
  for (size_t i = 0; i < locs.size(); ++i)
    EXPECT_EQ(locs[i], site.origin() + "/" + prefix + "_sitemap" + std::to_string(i) + ".xml");
  EXPECT_TRUE(messageBoxes_.empty());
}

TEST_F(CrawlRulesWindowTest, WithScriptsRunTheLinksAPageWritesAfterItsDataArrivesAreCrawled) {
  if (!PageRenderer::Available()) GTEST_SKIP() << "Chromium is not installed (scripts/setup.sh)";
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html",
                         "<html><body><a href=\"/plain.html\">plain</a><div id=\"menu\"></div><script>"
                         "fetch('/menu.json').then(r => r.json()).then(m => {"
                         "  document.getElementById('menu').innerHTML = '<a href=\"' + m.link + '\">menu</a>'; });"
                         "</script></body></html>",
                         ""});
  site.Set("/menu.json", Resource{200, "application/json", "{\"link\": \"/from-menu.html\"}", ""});
  site.Set("/plain.html", Resource{200, "text/html", PageLinking({}), ""});
  site.Set("/from-menu.html", Resource{200, "text/html", PageLinking({}), ""});
  Window().setup().renderScripts = 1;
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  const std::wstring urls = Window().yahooPage()->ListText();
  EXPECT_NE(urls.find(L"/plain.html"), std::wstring::npos);
  EXPECT_NE(urls.find(L"/from-menu.html"), std::wstring::npos) << QString::fromStdWString(urls).toStdString();
  EXPECT_EQ(site.count("/menu.json"), 1u);  // the browser asked once, for the root
  EXPECT_EQ(site.count("/"), 1u);          // and took the root itself from the crawl's fetch
}

}  // namespace
