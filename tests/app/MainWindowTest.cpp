#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <filesystem>

#include "app/platform/WideText.h"
#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubReportFail.h"
#include "app/CDlgSubYahoo.h"
#include "app/platform/CLinkButton.h"
#include "app/platform/CReportList.h"
#include "app/platform/CTabWindow.h"
#include "app/platform/EditBox.h"
#include "app/platform/StringRes.h"
#include "app/platform/VisualStyle.h"
#include "common/SystemInfo.h"
#include "common/TextCodec.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CrawlStatus.h"
#include "texts/CrawlStatusText.h"
#include "app/CrawlMessages.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "output/FailureReport.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"
#include "web/CHttpSession.h"
#include "web/StatusTextTable.h"
#include "common/Status.h"

namespace {

class MainWindowTest : public WindowTest {
 protected:
  std::wstring Text(int id) { return Window().GetItemText(id); }
  CReportList& CrawlList() { return *Window().actionPage()->list(); }
  CReportList& FailList() { return *Window().failPage()->list(); }
  std::wstring SitemapText() { return Window().googlePage()->GetItemText(CDlgSubGoogle::kIdText); }
  std::wstring UrlListText() { return Window().yahooPage()->ListText(); }

  // Addresses ending in "/neg.html" fail with the client result -70, as an empty answer would.
  void FailNegPageWithClientCode() {
    Window().SetCrawlPreparer([](CSitemapControl& crawl) {
      crawl.SetPageFetcher([](const std::string& address, std::string& headers, std::string& body) {
        if (address.size() >= 9 && address.compare(address.size() - 9, 9, "/neg.html") == 0) return int32_t{-70};
        CHttpSession session(address);
        return session.Fetch(headers, body);
      });
    });
  }
};

TEST_F(MainWindowTest, HasItsTabsTitleAndButtonsAndShowsEmptyStatusLines) {
  CSitemapDlg& w = Window();
  EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
  ASSERT_EQ(w.tabs()->count(), 5);
  const int labels[] = {104, 106, 113, 114};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(w.tabs()->tabText(i), StringRes(labels[i]));
    EXPECT_FALSE(w.tabs()->tabIcon(i).isNull());
  }
  EXPECT_EQ(w.tabs()->tabText(4), QStringLiteral("网站地图检查"));
  EXPECT_FALSE(w.tabs()->tabIcon(4).isNull());
  EXPECT_EQ(Text(CSitemapDlg::kIdTitle), L"Veltro网站地图生成器-V0.9");
  EXPECT_EQ(w.windowTitle(), StringRes(133));
  for (int id : {CSitemapDlg::kIdClose, CSitemapDlg::kIdMinimise, CSitemapDlg::kIdSettings, CSitemapDlg::kIdHelp})
    EXPECT_NE(w.Control(id), nullptr) << id;
  EXPECT_EQ(Text(CSitemapDlg::kIdSettings), L"设置");
  EXPECT_EQ(w.Control(1033), nullptr);  // no promotional button
  EXPECT_EQ(w.Control(1030), nullptr);  // no forum link
  EXPECT_EQ(Text(CSitemapDlg::kIdElapsed), L"");
  EXPECT_EQ(Text(CSitemapDlg::kIdCounters), L"");
  EXPECT_TRUE(w.HasTimer(CSitemapDlg::kTimerStatus));
  EXPECT_TRUE(w.HasTimer(CSitemapDlg::kTimerAutoSave));
}

TEST_F(MainWindowTest, EscapeEnterAndTheWindowManagersCloseLeaveTheWindowOpen) {
  CSitemapDlg& w = Window();
  QTest::keyClick(&w, Qt::Key_Escape);
  QTest::keyClick(&w, Qt::Key_Return);
  w.close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(w.ended());
  EXPECT_FALSE(std::filesystem::exists("sitemap0.xml.gz"));
}

TEST_F(MainWindowTest, TheCloseButtonWritesTheSettingsAndEndsTheWindow) {
  Window().setup().maxDepth = 7;
  Window().setup().styleIndex = 11;
  Window().ControlAs<QAbstractButton>(CSitemapDlg::kIdClose)->click();
  EXPECT_TRUE(Window().ended());
  DestroyWindow();
  CSetupManager stored;
  CLevelDb db;
  ASSERT_TRUE(LoadSettings(&stored, &db).ok());
  EXPECT_EQ(stored.maxDepth, 7);
  EXPECT_EQ(stored.styleIndex, 11);
}

TEST_F(MainWindowTest, SettingsAreLoadedAtStartAndTheirStyleApplied) {
  {
    CSetupManager setup;
    CLevelDb db;
    ASSERT_TRUE(LoadSettings(&setup, &db).ok());
    setup.styleIndex = 11;
    setup.maxDepth = 3;
    SaveSettings(&setup, &db);
  }
  EXPECT_EQ(Window().setup().maxDepth, 3);
  EXPECT_EQ(CurrentVisualManager(), (VisualManagerChoice{VisualManager::Carbon, 0}));
  EXPECT_TRUE(CurrentLook().dark);
}

TEST_F(MainWindowTest, ElapsedTimeReadsHoursMinutesAndSecondsWithoutPadding) {
  CSitemapDlg& w = Window();
  struct Case { uint32_t seconds; const wchar_t* text; };
  for (Case c : {Case{3599, L"已运行0小时59分钟59秒"}, Case{3600, L"已运行1小时0分钟0秒"}, Case{59, L"已运行0小时0分钟59秒"}}) {
    w.SetStartTick(GetTickCount32() - c.seconds * 1000u - 200u);
    w.RefreshStatus();
    EXPECT_EQ(Text(CSitemapDlg::kIdElapsed), c.text);
  }
}

TEST_F(MainWindowTest, WithAllCountersZeroTheLineShowsEveryLabelAndTheBarSitsAtZero) {
  Window().RefreshStatus();
  EXPECT_EQ(Text(CSitemapDlg::kIdCounters), L"共找到0条网址 正在爬0条 爬过0条 等待爬的0条 不允许爬的0条 排除掉0条");
  EXPECT_EQ(Window().actionPage()->progress(), 0);
}

TEST_F(MainWindowTest, ACrawlFillsTheCrawlListUrlListFailurePageAndSitemap) {
  LoopbackServer server;
  server.server().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(PageLinking({"/p1.html", "/p2.html", "/p3.html", "/missing.html", "/ok.html"}), "text/html");
  });
  server.server().Get(R"(/p\d\.html)", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(PageLinking({"/"}), "text/html");
  });
  server.server().Get("/ok.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(PageLinking({"/neg.html", "/a&b.html"}), "text/html");
  });
  server.server().Get("/a&b.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html><body>x</body></html>", "text/html");
  });
  ASSERT_TRUE(server.Start());
  FailNegPageWithClientCode();
  StartCrawl(server.origin() + "/");
  ASSERT_TRUE(WaitUntilIdle());

  // "/", p1-p3, ok.html, a&b.html succeeded; missing.html (404) and neg.html (-70) failed.
  ASSERT_EQ(CrawlList().RowCount(), 6);
  EXPECT_EQ(CrawlList().ItemText(0, 0), L"1");
  EXPECT_EQ(CrawlList().ItemText(5, 0), L"6");
  std::set<std::wstring> paths;
  for (int r = 0; r < 6; ++r) paths.insert(CrawlList().ItemText(r, 1));
  EXPECT_EQ(paths, (std::set<std::wstring>{L"/", L"/p1.html", L"/p2.html", L"/p3.html", L"/ok.html", L"/a&b.html"}));

  ASSERT_EQ(FailList().RowCount(), 2);
  std::map<std::wstring, std::pair<std::wstring, std::wstring>> failures;
  for (int r = 0; r < 2; ++r) failures[FailList().ItemText(r, 1)] = {FailList().ItemText(r, 2), FailList().ItemText(r, 3)};
  EXPECT_EQ(failures[L"/missing.html"].first, L"404");
  ASSERT_NE(StatusText("404"), nullptr);
  EXPECT_EQ(failures[L"/missing.html"].second, Utf8ToWide(*StatusText("404")));
  EXPECT_EQ(failures[L"/neg.html"].first, L"-70");
  EXPECT_EQ(failures[L"/neg.html"].second, Utf8ToWide(FailureDescription("-70")));
  EXPECT_NE(failures[L"/neg.html"].second, L"网络错误");

  std::wstring list = UrlListText();
  std::wstring origin = QString::fromStdString(server.origin()).toStdWString();
  for (const wchar_t* p : {L"/", L"/p1.html", L"/ok.html", L"/a&b.html"})
    EXPECT_NE(list.find(origin + p + L"\r\n"), std::wstring::npos) << p;
  EXPECT_EQ(list.find(L"missing"), std::wstring::npos);

  std::wstring sitemap = SitemapText();
  EXPECT_NE(sitemap.find(L"<loc>" + origin + L"/p2.html</loc>"), std::wstring::npos);
  EXPECT_NE(sitemap.find(L"/a&amp;b.html</loc>"), std::wstring::npos);
  EXPECT_EQ(sitemap.find(L"neg.html"), std::wstring::npos);

  CrawlCounters counters = Window().crawl()->counters();
  EXPECT_EQ(counters.crawledOk, 6);
  EXPECT_EQ(counters.failed, 2);
  EXPECT_EQ(Text(CSitemapDlg::kIdCounters), Utf8ToWide(FormatCounters(counters)));
  EXPECT_EQ(Window().actionPage()->progress(), 100);
}

TEST_F(MainWindowTest, ResultsInManyPortionsKeepTheSitemapPageEqualToTheWritersDocument) {
  LoopbackServer server;
  ServeSite(server, 700);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(CrawlList().RowCount(), 701);
  std::string printed;
  ASSERT_TRUE(Window().crawl()->results()->sitemap()->PrintCurrent(printed).ok());
  QString shown = QString::fromStdWString(SitemapText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(shown.toStdString(), printed);
  // Row numbers follow each other across portions.
  for (int r = 0; r < CrawlList().RowCount(); ++r) ASSERT_EQ(CrawlList().ItemText(r, 0), std::to_wstring(r + 1));
}

// Each Start brings new results: the second site's sitemap is shown, saved and auto-saved
// without a trace of the first one.
TEST_F(MainWindowTest, ASecondSitesSitemapIsShownSavedAndAutoSavedWithoutTheFirstSite) {
  ASSERT_TRUE(StoreAutoSaveEverySecond("auto/"));
  std::filesystem::create_directory("auto");
  LoopbackServer first;
  ServeSite(first, 5);
  LoopbackServer second;
  ServeSite(second, 2);
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(second.Start());
  StartCrawl(first.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_NE(SitemapText().find(L"/p5.html"), std::wstring::npos);
  StartCrawl(second.origin());
  ASSERT_TRUE(WaitUntilIdle());

  const std::wstring firstOrigin = Utf8ToWide(first.origin());
  EXPECT_EQ(SitemapText().find(firstOrigin), std::wstring::npos);
  EXPECT_EQ(UrlListText().find(firstOrigin), std::wstring::npos);
  EXPECT_EQ(CrawlList().RowCount(), 3);
  CDlgSubGoogle* page = Window().googlePage();
  page->CheckItem(CDlgSubGoogle::kIdGzip, false);
  ASSERT_TRUE(page->Save());
  const std::string site = SiteFiles(second.origin());
  const std::string saved = ReadFileBytes(site + "_sitemap0.xml");
  EXPECT_EQ(saved.find(first.origin()), std::string::npos);
  size_t entries = 0;
  for (size_t at = saved.find("<loc>"); at != std::string::npos; at = saved.find("<loc>", at + 1)) ++entries;
  EXPECT_EQ(entries, 3u);

  std::filesystem::remove_all("auto");  // what the ticks of the first crawl wrote
  std::filesystem::create_directory("auto");
  QElapsedTimer t;
  t.start();
  while (!std::filesystem::exists("auto/" + site + "_sitemap0.xml.gz") && t.elapsed() < 15000) QTest::qWait(20);
  EXPECT_TRUE(std::filesystem::exists("auto/" + site + "_sitemap0.xml.gz"));
  EXPECT_FALSE(std::filesystem::exists("auto/" + SiteFiles(first.origin()) + "_sitemap0.xml.gz"));
  EXPECT_TRUE(Window().FinishBackgroundWork(std::chrono::milliseconds(10000)));
}

TEST_F(MainWindowTest, ASecondCrawlStartsWithEmptyPagesAndNumbersRowsFromOne) {
  LoopbackServer server;
  ServeSite(server, 3);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(CrawlList().RowCount(), 4);
  EXPECT_EQ(FailList().RowCount(), 1);
  EXPECT_EQ(FailList().ItemText(0, 0), L"1");
}

TEST_F(MainWindowTest, TheUrlListIsSavedWithoutTheLastLineBreakAndCancelWritesNothing) {
  LoopbackServer server;
  ServeSite(server, 1);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  std::filesystem::path file = dir_.path() / "urls.txt";
  SetSaveFileHook([file] { return std::optional<QString>(QString::fromStdString(file.string())); });
  Window().yahooPage()->ControlAs<QPushButton>(CDlgSubYahoo::kIdSave)->click();
  std::string saved = ReadFileBytes(file);
  std::wstring list = UrlListText();
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(saved, WideToUtf8(list.substr(0, list.size() - 2)));
  EXPECT_NE(saved.find("\r\n"), std::string::npos);

  std::filesystem::path other = dir_.path() / "other.txt";
  SetSaveFileHook([] { return std::optional<QString>(); });
  Window().yahooPage()->ControlAs<QPushButton>(CDlgSubYahoo::kIdSave)->click();
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(MainWindowTest, SitemapSaveUsesTheCrawledHostAsPrefixAndTheGzipBox) {
  LoopbackServer server;
  ServeSite(server, 1);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  CDlgSubGoogle* page = Window().googlePage();
  EXPECT_TRUE(page->IsItemChecked(CDlgSubGoogle::kIdGzip));
  page->ControlAs<QPushButton>(CDlgSubGoogle::kIdSave)->click();
  std::string host = Window().crawl()->results()->SiteName();
  EXPECT_EQ(host, SiteFiles(server.origin()));
  EXPECT_TRUE(std::filesystem::exists(host + "_sitemap0.xml.gz"));
  page->ControlAs<QAbstractButton>(CDlgSubGoogle::kIdGzip)->click();
  page->ControlAs<QPushButton>(CDlgSubGoogle::kIdSave)->click();
  std::string plain = ReadFileBytes(host + "_sitemap0.xml");
  EXPECT_NE(plain.find("<loc>" + server.origin() + "/p1.html</loc>\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, TheAutoSaveTimerWritesNothingBeforeACrawlAndTheCrawledSiteAfterIt) {
  ASSERT_TRUE(StoreAutoSaveEverySecond());
  Window();
  QTest::qWait(2500);  // two ticks with nothing crawled
  EXPECT_FALSE(std::filesystem::exists("sitemap0.xml.gz"));
  LoopbackServer server;
  ServeSite(server, 1);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  const std::string file = SiteFiles(server.origin()) + "_sitemap0.xml.gz";
  QElapsedTimer t;
  t.start();
  while (!std::filesystem::exists(file) && t.elapsed() < 10000) QTest::qWait(20);
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(Window().FinishBackgroundWork(std::chrono::milliseconds(10000)));
}

TEST_F(MainWindowTest, TheHelpLinkOpensTheUserGuideBesideTheProgram) {
  Window().ControlAs<QAbstractButton>(CSitemapDlg::kIdHelp)->click();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_TRUE(opened_[0].endsWith(QStringLiteral("/user-guide.html")));
}

TEST_F(MainWindowTest, ClosingDuringACrawlStopsItWithinTheShutdownWait) {
  LoopbackServer server;
  ServeSite(server, 400, 5);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  QTest::qWait(50);
  Window().ControlAs<QAbstractButton>(CSitemapDlg::kIdClose)->click();
  EXPECT_TRUE(Window().FinishBackgroundWork(std::chrono::milliseconds(20000)));
  EXPECT_TRUE(std::filesystem::exists(kSettingsDbPath));
}

}  // namespace
