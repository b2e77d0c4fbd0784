#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <string>

#include "app/platform/WideText.h"
#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubReportFail.h"
#include "app/platform/CReportList.h"
#include "common/TextCodec.h"
#include "crawl/CSitemapControl.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "settings/CSetupManager.h"
#include "settings/CrawlStartParamsOf.h"
#include "support/SettingSamples.h"
#include "support/SitemapXml.h"
#include "support/StaticSite.h"
#include "common/Status.h"

namespace fs = std::filesystem;

namespace {

class SitemapContentWindowTest : public WindowTest {};

// The window's crawl starts from every setting of the table, as the command's does.
TEST_F(SitemapContentWindowTest, EverySettingThatShapesACrawlReachesTheWindowsStartRecord) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", PageLinking({}), ""});
  CSetupManager& setup = Window().setup();
  ASSERT_TRUE(SetEverySample(setup));
  // How the window connects belongs to the run (its own tests check it): here the site is
  // reached directly, without the samples' files and proxy.
  setup.cookieFile.clear();
  setup.caFile.clear();
  setup.proxy.clear();
  setup.insecure = 0;
  CrawlStartParams expected = CrawlStartParamsOf(setup);
  expected.startUrl = site.origin();
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_TRUE(Window().crawl());
  ExpectSameSettings(Window().crawl()->control().params(), expected);
}

TEST_F(SitemapContentWindowTest, SettingsReachTheCrawlAndThePagesShowAlternatesImagesAndWhereEachFailureWasFound) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html",
                         "<html><head><link rel=\"alternate\" hreflang=\"de\" href=\"/de/\">"
                         "<link rel=\"alternate\" hreflang=\"ja\" href=\"http://127.0.0.2:8/ja/\"></head>"
                         "<body><img src=\"/logo.png\"><a href=\"/copy.html\">c</a><a href=\"/list.html\">l</a></body></html>",
                         ""});
  site.Set("/copy.html", Resource{200, "text/html",
                                  "<html><head><link rel=\"canonical\" href=\"/list.html\"></head><body></body></html>", ""});
  site.Set("/list.html", Resource{200, "text/html", PageLinking({"/broken.html"}), ""});
  CSetupManager& setup = Window().setup();
  setup.sitemapCanonical = 1;
  setup.sitemapHreflang = 1;
  setup.sitemapImages = 1;
  setup.sitemapPriority = "1.0,0.3";
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());

  // The sitemap page shows what the documents hold, alternates and images included.
  std::string shown = WideToUtf8(Window().googlePage()->GetItemText(CDlgSubGoogle::kIdText));
  shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());  // the box gives CR LF
  std::string printed;
  ASSERT_TRUE(Window().crawl()->results()->sitemap()->PrintCurrent(printed).ok());
  EXPECT_EQ(shown, printed);
  const ParsedSitemap parsed = ParseSitemapXml(shown);
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_TRUE(parsed.declaresXhtml);
  ASSERT_EQ(parsed.urls.size(), 2u);  // the copy names the list as its canonical address
  EXPECT_EQ(parsed.urls[0].alternates, (std::vector<std::pair<std::string, std::string>>{
                                           {"de", site.origin() + "/de/"}, {"ja", "http://127.0.0.2:8/ja/"}}));
  EXPECT_EQ(parsed.urls[0].images, std::vector<std::string>{site.origin() + "/logo.png"});
  EXPECT_EQ(site.count("/logo.png"), 0u);
  EXPECT_EQ(parsed.urls[0].priority, "1.0");
  EXPECT_EQ(parsed.urls[1].priority, "0.3");

  // The failure page: path, code, description and the page the link was found on.
  CDlgSubReportFail& failures = *Window().failPage();
  CReportList* list = failures.list();
  ASSERT_EQ(list->RowCount(), 1);
  EXPECT_EQ(list->ItemText(0, 1), L"/broken.html");
  EXPECT_EQ(WideToUtf8(list->ItemText(0, 4)), site.origin() + "/list.html");

  // Its Save writes the same four columns into the failure file.
  failures.ControlAs<QPushButton>(CDlgSubReportFail::kIdSave)->click();
  EXPECT_TRUE(messageBoxes_.empty());
  const std::string tsv = ReadFileBytes(CrawlResults::FailureListName(SiteFiles(site.origin())));
  EXPECT_EQ(tsv, "/broken.html\t404\t" + WideToUtf8(list->ItemText(0, 3)) + "\t" + site.origin() + "/list.html\n");
}

TEST_F(SitemapContentWindowTest, FailureSaveBeforeAnyCrawlSaysWhyAndWritesNothing) {
  Window().failPage()->ControlAs<QPushButton>(CDlgSubReportFail::kIdSave)->click();
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"失败列表"), std::wstring::npos);
  for (const auto& entry : fs::directory_iterator(fs::current_path()))
    EXPECT_EQ(entry.path().string().find("_failed.tsv"), std::string::npos) << entry.path();
}

}  // namespace

namespace {

class LastmodWindowTest : public WindowTest {};

// Under lastmod from content the status line counts what changed since the last crawl and the
// changes file lands in the working folder beside the saves.
TEST_F(LastmodWindowTest, TheStatusLineCountsNewChangedAndGonePagesAndTheChangesFileIsWritten) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", PageLinking({"/a.html", "/b.html"}), ""});
  site.Set("/a.html", Resource{200, "text/html", PageLinking({}), ""});
  site.Set("/b.html", Resource{200, "text/html", PageLinking({}), ""});
  Window().setup().sitemapLastmodFrom = "content";
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_NE(StatusLine(CSitemapDlg::kIdElapsed).find(L"新网页3个 已更改0个 已消失0个"), std::wstring::npos)
      << Window().GetItemText(CSitemapDlg::kIdElapsed);

  site.Set("/", Resource{200, "text/html", PageLinking({"/a.html"}), ""});
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_NE(StatusLine(CSitemapDlg::kIdElapsed).find(L"新网页0个 已更改1个 已消失1个"), std::wstring::npos)
      << Window().GetItemText(CSitemapDlg::kIdElapsed);
  const std::string changes = ReadFileBytes(CrawlResults::ChangesName(Window().crawl()->results()->SiteName()));
  EXPECT_NE(changes.find("changed\t" + site.origin() + "/\t"), std::string::npos) << changes;
  EXPECT_NE(changes.find("gone\t" + site.origin() + "/b.html\t"), std::string::npos) << changes;
}

}  // namespace
