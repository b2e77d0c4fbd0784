#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/platform/WideText.h"
#include "AppTestSupport.h"
#include "app/CDlgPatternHelp.h"
#include <QTimer>
#include "app/platform/EditBox.h"
#include "app/platform/CReportList.h"
#include "settings/CSetupManager.h"
#include "app/platform/StringRes.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadControlSitemap.h"
#include "crawl/PatternFilter.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubYahoo.h"
#include "support/ChineseSite.h"
#include "common/TextCodec.h"
#include "crawl/CrawlStatus.h"
#include <QDir>
#include <QElapsedTimer>

namespace {

class CrawlPageTest : public WindowTest {
 protected:
  CDlgSubAction& Page() { return *Window().actionPage(); }
  bool StartEnabled() { return Page().IsItemEnabled(CDlgSubAction::kIdStart); }
  bool StopEnabled() { return Page().IsItemEnabled(CDlgSubAction::kIdStop); }
};

TEST_F(CrawlPageTest, AnAddressOfSpacesAsksForAnAddressAndStartsNothing) {
  StartCrawl("   ");
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"请先输入要爬行的网站网址"), std::wstring::npos) << messageBoxes_[0];
  EXPECT_TRUE(StartEnabled());
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(Window().crawlState(), -1);
}

TEST_F(CrawlPageTest, AnAddressWithoutAHostShowsString105AndLeavesStartEnabled) {
  StartCrawl("a b");
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_EQ(messageBoxes_[0], Utf8ToWide(LoadStringById(105)));
  EXPECT_EQ(messageBoxes_[0], L"不是一个合法的网址，请输入一个网址");
  EXPECT_TRUE(StartEnabled());
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(Window().crawlState(), -1);
}

TEST_F(CrawlPageTest, PatternBoxesBecomeSetsSplitAtLineBreaksWithTheWholeTextTrimmed) {
  LoopbackServer server;
  ServeSite(server, 2);
  ASSERT_TRUE(server.Start());
  SetEditText(Page().Control(CDlgSubAction::kIdInclude), L"a\r\n\r\na\r\nb");
  SetEditText(Page().Control(CDlgSubAction::kIdExclude), L"  x \r\n y  ");
  StartCrawl(server.origin() + "/");
  ASSERT_TRUE(WaitUntilIdle());
  const PatternFilter& patterns = Window().crawl()->control().data().patterns;
  EXPECT_EQ(patterns.includePatterns, (StringISet{"a", "b"}));
  // Only the ends of the whole text go; the inner line ends keep their spaces.
  EXPECT_EQ(patterns.excludePatterns, (StringISet{"x ", " y"}));
}

TEST_F(CrawlPageTest, EnterInTheAddressBoxStartsLikeTheStartButton) {
  LoopbackServer server;
  ServeSite(server, 2);
  ASSERT_TRUE(server.Start());
  SetEditText(Page().Control(CDlgSubAction::kIdAddress), QString::fromStdString(server.origin()).toStdWString());
  Page().Control(CDlgSubAction::kIdAddress)->setFocus();
  QTest::keyClick(Page().Control(CDlgSubAction::kIdAddress), Qt::Key_Return);
  EXPECT_TRUE(Page().isCrawling());
  EXPECT_FALSE(StartEnabled());
  EXPECT_TRUE(StopEnabled());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(StartEnabled());
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(Page().list()->RowCount(), 3);
}

TEST_F(CrawlPageTest, StartOrEnterWhileACrawlRunsNeitherResetsNorRestartsIt) {
  LoopbackServer server;
  ServeSite(server, 12, 60);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(Page().isCrawling());
  uint32_t tick = Window().startTick();
  auto* address = Page().ControlAs<QLineEdit>(CDlgSubAction::kIdAddress);
  EXPECT_TRUE(address->isReadOnly());
  QTest::qWait(30);
  Page().SendCommand(CDlgSubAction::kIdStart);
  Page().Control(CDlgSubAction::kIdAddress)->setFocus();
  QTest::keyClick(Page().Control(CDlgSubAction::kIdAddress), Qt::Key_Return);
  EXPECT_EQ(Window().startTick(), tick);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(server.requestCount("/"), 1u);
  EXPECT_EQ(Page().list()->RowCount(), 13);
  EXPECT_FALSE(address->isReadOnly());
}

TEST_F(CrawlPageTest, StopShowsTheWaitCursorUntilTheCrawlHasEnded) {
  LoopbackServer server;
  ServeSite(server, 40, 50);
  ASSERT_TRUE(server.Start());
  Window().setup().threadCount = 2;
  StartCrawl(server.origin());
  QTest::qWait(80);
  ASSERT_TRUE(Page().isCrawling());
  Page().ControlAs<QPushButton>(CDlgSubAction::kIdStop)->click();
  // Stop leaves the page crawling; the end of the crawl brings Start and the cursor back.
  EXPECT_TRUE(IsWaitCursorShown());
  EXPECT_TRUE(StopEnabled());
  EXPECT_FALSE(StartEnabled());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_FALSE(IsWaitCursorShown());
  EXPECT_TRUE(StartEnabled());
  EXPECT_LT(Page().list()->RowCount(), 41);
}

// A slow site: every page but the root takes 3 s. The root is listed while the others are
// still being fetched, not when 200 results have piled up or the crawl ends.
TEST_F(CrawlPageTest, OnASlowSiteTheFirstRowsAppearWithinASecondInFetchOrder) {
  LoopbackServer server;
  ServeSite(server, 20, 3000);
  ASSERT_TRUE(server.Start());
  Window().setup().threadCount = 20;
  StartCrawl(server.origin());
  QElapsedTimer t;
  t.start();
  while (Page().list()->RowCount() == 0 && t.elapsed() < 5000) QTest::qWait(20);
  EXPECT_LT(t.elapsed(), 2500);  // before any other page could have arrived
  EXPECT_TRUE(Page().isCrawling());
  ASSERT_EQ(Page().list()->RowCount(), 1);
  EXPECT_EQ(Page().list()->ItemText(0, 1), L"/");  // the root first
  Page().ControlAs<QPushButton>(CDlgSubAction::kIdStop)->click();
  ASSERT_TRUE(WaitUntilIdle());
}

// After Stop nothing shows as crawling, and the status line says the crawl was stopped; a
// crawl that runs to its end says so too.
TEST_F(CrawlPageTest, TheStatusLineSaysWhetherTheCrawlEndedOrWasStoppedAndNothingCrawlsAfterStop) {
  LoopbackServer server;
  ServeSite(server, 20, 3000);
  ASSERT_TRUE(server.Start());
  Window().setup().threadCount = 8;
  StartCrawl(server.origin());
  QElapsedTimer t;
  t.start();
  while (Window().crawl()->counters().crawling < 8 && t.elapsed() < 5000) QTest::qWait(20);
  ASSERT_EQ(Window().crawl()->counters().crawling, 8);
  Page().ControlAs<QPushButton>(CDlgSubAction::kIdStop)->click();
  t.restart();
  ASSERT_TRUE(WaitUntilIdle(5000));
  EXPECT_LT(t.elapsed(), 3000);  // well under a second on an idle machine
  EXPECT_NE(Window().GetItemText(CSitemapDlg::kIdCounters).find(L"正在爬0条"), std::wstring::npos)
      << Window().GetItemText(CSitemapDlg::kIdCounters);
  EXPECT_NE(Window().GetItemText(CSitemapDlg::kIdElapsed).find(L"爬行已停止"), std::wstring::npos);
  EXPECT_TRUE(messageBoxes_.empty());

  LoopbackServer quick;
  ServeSite(quick, 2);
  ASSERT_TRUE(quick.Start());
  StartCrawl(quick.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_NE(Window().GetItemText(CSitemapDlg::kIdElapsed).find(L"爬行已完成"), std::wstring::npos);
  EXPECT_TRUE(messageBoxes_.empty());
}

// A site that makes endless addresses of one parameter: the counters line names it and the
// rule that ends it, and what the line shows fits the window (a longer text is cut, whole in its
// tip).
TEST_F(CrawlPageTest, AnEndlessParameterIsNamedAfterTheCountersAndTheLineFitsWithTheWholeInItsTip) {
  LoopbackServer server(8);
  server.server().Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
    std::vector<std::string> links;
    if (req.path == "/")
      for (int i = 0; i < 1100; ++i) links.push_back("/list?view=" + std::to_string(i));
    res.set_content(PageLinking(links), "text/html");
  });
  ASSERT_TRUE(server.Start());
  Window().setup().threadCount = 8;
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle(30000));
  const std::wstring hint = L"超过1000个网址只在参数“view”上不同，可在“网址规则”中去掉它";
  QWidget* line = Window().Control(CSitemapDlg::kIdCounters);
  const std::wstring shown = Window().GetItemText(CSitemapDlg::kIdCounters);
  const std::wstring whole = shown.find(hint) != std::wstring::npos ? shown : line->toolTip().toStdWString();
  EXPECT_EQ(whole.rfind(L"共找到1101条网址 正在爬0条 爬过1101条", 0), 0u) << whole;
  EXPECT_NE(whole.find(hint), std::wstring::npos) << whole;
  EXPECT_LE(line->fontMetrics().horizontalAdvance(QString::fromStdWString(shown)), line->width());
  EXPECT_NE(Window().GetItemText(CSitemapDlg::kIdElapsed).find(L"爬行已完成"), std::wstring::npos);
}

// Nothing listens on the port: the user is told why nothing was crawled.
TEST_F(CrawlPageTest, AnUnreachableSiteShowsAMessageWithTheCauseAndSaysSoOnTheStatusLine) {
  std::string origin;
  {
    LoopbackServer gone;
    ASSERT_TRUE(gone.Start());
    origin = gone.origin();
  }
  StartCrawl(origin);
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"无法连接网站"), std::wstring::npos) << messageBoxes_[0];
  EXPECT_NE(messageBoxes_[0].find(L"curl 7"), std::wstring::npos) << messageBoxes_[0];
  EXPECT_NE(messageBoxes_[0].find(L"无法连接到服务器"), std::wstring::npos) << messageBoxes_[0];
  EXPECT_NE(Window().GetItemText(CSitemapDlg::kIdElapsed).find(L"无法连接网站"), std::wstring::npos);
}

// Save says on the status line how many files it wrote and where.
TEST_F(CrawlPageTest, SitemapSaveTellsTheStatusLineWhatItWrote) {
  LoopbackServer server;
  ServeSite(server, 2);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_TRUE(Window().googlePage()->Save());
  const std::wstring line = Window().saveStatusText();
  EXPECT_NE(line.find(L"已保存1个网站地图文件"), std::wstring::npos) << line;
  EXPECT_NE(line.find(Utf8ToWide(SiteFiles(server.origin()) + "_sitemap0.xml.gz")), std::wstring::npos) << line;
  EXPECT_NE(line.find(QDir::currentPath().toStdWString()), std::wstring::npos) << line;
}

// Patterns typed in Chinese select the pages of a site with Chinese names; the list shows
// each page once as it reads, the URL list keeps it percent-encoded.
TEST_F(CrawlPageTest, ChinesePatternsSelectPagesThatTheListShowsReadableAndTheFilesEncoded) {
  chinese::ChineseSite site;
  ASSERT_TRUE(site.started());
  SetEditText(Page().Control(CDlgSubAction::kIdInclude), L"*新闻*");
  SetEditText(Page().Control(CDlgSubAction::kIdExclude), L"*产品*");
  StartCrawl(site.server().origin() + "/");
  ASSERT_TRUE(WaitUntilIdle());
  std::vector<std::wstring> rows;
  for (int r = 0; r < Page().list()->RowCount(); ++r) rows.push_back(Page().list()->ItemText(r, 1));
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"/", L"/新闻/第一篇.html"}));
  const std::wstring urls = Window().yahooPage()->ListText();
  EXPECT_NE(urls.find(Utf8ToWide(chinese::kFirst)), std::wstring::npos) << urls;
  EXPECT_EQ(urls.find(L"新闻"), std::wstring::npos) << urls;
  EXPECT_EQ(Window().crawl()->counters().excluded, 1);
}

TEST_F(CrawlPageTest, PatternHelpShowsTheIncludeAndExcludeTextsWholeWithinTheBoxWidth) {
  CDlgPatternHelp include(CDlgPatternHelp::Topic::Include);
  CDlgPatternHelp exclude(CDlgPatternHelp::Topic::Exclude);
  EXPECT_EQ(include.GetItemText(CDlgPatternHelp::kIdText), Utf8ToWide(LoadStringById(134)));
  EXPECT_EQ(exclude.GetItemText(CDlgPatternHelp::kIdText), Utf8ToWide(LoadStringById(135)));
  for (CDlgPatternHelp* help : {&include, &exclude}) {
    // Left out of the results is not left uncrawled: the help says so.
    EXPECT_NE(help->GetItemText(CDlgPatternHelp::kIdText).find(L"仍会被抓取，其中的链接也会被跟踪"), std::wstring::npos);
    help->show();
    QApplication::processEvents();
    auto* box = help->ControlAs<QPlainTextEdit>(CDlgPatternHelp::kIdText);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0);  // no line runs off the right
    help->hide();
  }
  EXPECT_EQ(include.windowTitle(), QStringLiteral("样式帮助"));
  QTimer::singleShot(0, &include, [&include] { include.ControlAs<QPushButton>(1)->click(); });
  EXPECT_EQ(include.DoModal(), CPlatformDialog::kIdOk);
}

}  // namespace
