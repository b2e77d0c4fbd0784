#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <filesystem>

#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubReportFail.h"
#include "app/CDlgSubYahoo.h"
#include "app/platform/WideText.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "support/SiteFiles.h"
#include "support/StaticSite.h"

namespace fs = std::filesystem;

namespace {

class ResultsPagesTest : public WindowTest {
 protected:
  void Click(CPlatformDialog* page, int id) { page->ControlAs<QPushButton>(id)->click(); }
  std::wstring SaveLine() { return Window().GetItemText(CSitemapDlg::kIdSaveStatus); }
  void CrawlSite(LoopbackServer& server, int pages) {
    ServeSite(server, pages);
    ASSERT_TRUE(server.Start());
    StartCrawl(server.origin());
    ASSERT_TRUE(WaitUntilIdle());
  }
  bool FolderHasFileWith(const std::string& part) {
    for (const auto& entry : fs::directory_iterator("."))
      if (entry.path().filename().string().find(part) != std::string::npos) return true;
    return false;
  }
};

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

TEST_F(ResultsPagesTest, ASplitSitemapListsEveryFileWithItsCountAndShowsTheChosenOne) {
  LoopbackServer server;
  CrawlSite(server, 1);
  CSitemapXmlWriter& writer = *Window().crawl()->results()->sitemap();
  for (int i = 0; i < 15000; ++i) writer.AddUrl(server.origin() + "/extra/" + std::to_string(i) + ".html");
  ASSERT_EQ(writer.documentCount(), 2u);
  CDlgSubGoogle& page = *Window().googlePage();
  page.RefreshDisplay();

  const std::vector<std::wstring> choices = page.DocumentChoices();
  ASSERT_EQ(choices.size(), 2u);
  const std::string site = SiteFiles(server.origin());
  EXPECT_TRUE(Contains(choices[0], L"1/2：" + Utf8ToWide(site) + L"_sitemap0.xml.gz（" +
                                       std::to_wstring(writer.UrlCount(0)) + L" 个网址）")) << choices[0];
  EXPECT_TRUE(Contains(choices[1], std::to_wstring(writer.UrlCount(1)) + L" 个网址")) << choices[1];
  auto* chooser = page.ControlAs<QComboBox>(CDlgSubGoogle::kIdDocuments);
  EXPECT_TRUE(chooser->isEnabled());
  EXPECT_EQ(chooser->count(), 2);
  EXPECT_EQ(chooser->currentIndex(), 1);  // the newest document, as the crawl fills it

  std::string first, second;
  ASSERT_TRUE(writer.PrintDocument(0, first).ok());
  ASSERT_TRUE(writer.PrintDocument(1, second).ok());
  auto shown = [&] {
    std::string text = WideToUtf8(page.GetItemText(CDlgSubGoogle::kIdText));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
  };
  EXPECT_EQ(shown(), second);
  chooser->activated(0);
  EXPECT_EQ(page.shownDocument(), 0);
  EXPECT_EQ(shown(), first);
  // While the first is read, new entries only move the counts; the box stays on it.
  writer.AddUrl(server.origin() + "/late.html");
  page.AddAddresses({server.origin() + "/late.html"});
  EXPECT_EQ(shown(), first);
  EXPECT_TRUE(Contains(page.DocumentChoices()[1], std::to_wstring(writer.UrlCount(1)) + L" 个网址"));
  chooser->activated(1);
  EXPECT_NE(shown().find("/late.html"), std::string::npos);
}

TEST_F(ResultsPagesTest, EachSaveNamesItsRowsAndFileOnTheStatusLineAndEmptyOnesWriteNothing) {
  // Nothing crawled: every page says so, in the tabs' real names, and writes no file.
  Click(Window().failPage(), CDlgSubReportFail::kIdSave);
  Click(Window().googlePage(), CDlgSubGoogle::kIdSave);
  bool asked = false;
  SetSaveFileHook([&asked] {
    asked = true;
    return std::optional<QString>(QStringLiteral("urls.txt"));
  });
  Click(Window().yahooPage(), CDlgSubYahoo::kIdSave);
  ASSERT_EQ(messageBoxes_.size(), 3u);
  EXPECT_TRUE(Contains(messageBoxes_[0], L"请先在“生成网站地图”页")) << messageBoxes_[0];
  EXPECT_TRUE(Contains(messageBoxes_[1], L"请先在“生成网站地图”页")) << messageBoxes_[1];
  EXPECT_TRUE(Contains(messageBoxes_[2], L"网址列表是空的")) << messageBoxes_[2];
  EXPECT_FALSE(asked);  // no file dialog for an empty list
  EXPECT_FALSE(FolderHasFileWith("_failed") || FolderHasFileWith("sitemap") || FolderHasFileWith("urls"));
  EXPECT_TRUE(SaveLine().empty());

  LoopbackServer server;
  CrawlSite(server, 2);  // three pages and /missing.html
  const std::string site = SiteFiles(server.origin());
  const std::wstring folder = fs::current_path().wstring();

  Click(Window().failPage(), CDlgSubReportFail::kIdSave);
  EXPECT_TRUE(fs::is_regular_file(site + "_failed.tsv"));
  EXPECT_TRUE(Contains(Window().saveStatusText(), L"已保存1个访问失败的网址到 " + folder + L"/" + Utf8ToWide(site) + L"_failed.tsv"))
      << Window().saveStatusText();

  Click(Window().googlePage(), CDlgSubGoogle::kIdSave);
  EXPECT_TRUE(Contains(Window().saveStatusText(), L"已保存1个网站地图文件（3个网址）：" + Utf8ToWide(site) + L"_sitemap0.xml.gz"))
      << Window().saveStatusText();
  EXPECT_TRUE(Contains(Window().saveStatusText(), folder));

  Click(Window().yahooPage(), CDlgSubYahoo::kIdSave);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(Contains(Window().saveStatusText(), L"已保存3个网址到 " + folder + L"/urls.txt")) << Window().saveStatusText();
  EXPECT_EQ(Window().Control(CSitemapDlg::kIdSaveStatus)->toolTip().toStdWString(), Window().saveStatusText());
  EXPECT_EQ(messageBoxes_.size(), 3u);
}

TEST_F(ResultsPagesTest, AFailureSaveWithNoFailuresSaysSoAndWritesNoEmptyFile) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", PageLinking({}), ""});
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  Click(Window().failPage(), CDlgSubReportFail::kIdSave);
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(Contains(messageBoxes_[0], L"没有访问失败的网址")) << messageBoxes_[0];
  EXPECT_FALSE(FolderHasFileWith("_failed"));
}

TEST_F(ResultsPagesTest, ALongSaveLineShowsTheCountAndFolderAndANewCrawlClearsIt) {
  LoopbackServer server;
  CrawlSite(server, 1);
  // A folder name far wider than the line: the count and the folder stay readable.
  const fs::path deep = fs::current_path() / std::string(120, 'd');
  fs::create_directories(deep);
  const std::string file = (deep / "list_with_a_long_name.txt").string();
  SetSaveFileHook([file] { return std::optional<QString>(QString::fromStdString(file)); });
  Click(Window().yahooPage(), CDlgSubYahoo::kIdSave);
  const std::wstring line = SaveLine();
  EXPECT_TRUE(Contains(line, L"已保存2个网址到 ")) << line;
  EXPECT_FALSE(Contains(line, L"list_with_a_long_name")) << line;
  auto* label = Window().ControlAs<QLabel>(CSitemapDlg::kIdSaveStatus);
  EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
  EXPECT_TRUE(Contains(label->toolTip().toStdWString(), Utf8ToWide(file)));

  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(SaveLine().empty()) << SaveLine();
  EXPECT_TRUE(label->toolTip().isEmpty());
}

}  // namespace
