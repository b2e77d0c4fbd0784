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

}  // namespace
