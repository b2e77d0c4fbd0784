#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <boost/thread/locks.hpp>
#include <chrono>
#include <iostream>
#include <set>
#include <thread>

#include "crawl/CrawlPortion.h"
#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubReportFail.h"
#include "app/CDlgSubYahoo.h"
#include "app/platform/CReportList.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CrawlStatus.h"
#include "app/CrawlMessages.h"
#include "app/PostingResultConsumer.h"
#include "settings/CSetupManager.h"
#include "support/HostileSite.h"

namespace {

// The longest stretch in which a 10 ms timer of the window's event loop did not fire.
class PauseMeter {
 public:
  PauseMeter() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
  }
  void Start() {
    clock_.start();
    last_ = 0;
    worst_ = 0;
    timer_.start();
  }
  // Counts the stretch since the last tick too, so a pause at the very end is not missed.
  qint64 Stop() {
    Tick();
    timer_.stop();
    return worst_;
  }

 private:
  void Tick() {
    const qint64 now = clock_.elapsed();
    worst_ = std::max(worst_, now - last_);
    last_ = now;
  }
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 worst_ = 0;
};

// "/" links to 1000 sections, each section to 20 pages: far more than a test waits for.
void ServeLargeSite(LoopbackServer& server) {
  std::vector<std::string> sections;
  for (int i = 0; i < 1000; ++i) sections.push_back("/s/" + std::to_string(i));
  const std::string root = PageLinking(sections);
  server.server().Get("/", [root](const httplib::Request&, httplib::Response& res) { res.set_content(root, "text/html"); });
  server.server().Get(R"(/s/\d+)", [](const httplib::Request& req, httplib::Response& res) {
    std::vector<std::string> pages;
    for (int i = 0; i < 20; ++i) pages.push_back(req.path + "/" + std::to_string(i));
    res.set_content(PageLinking(pages), "text/html");
  });
  server.server().Get(R"(/s/\d+/\d+)", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    res.set_content(PageLinking({"/"}), "text/html");
  });
}

size_t Count(const std::wstring& text, const std::wstring& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

class StopUnderLoadTest : public WindowTest {
 protected:
  bool PortionUnread() { return Window().crawlMessages()->PortionWaiting(); }
  size_t Pending() {
    return Window().crawl()->control().PendingResults();
  }

  // Starts a crawl of 256 workers and keeps the window's thread busy (no event is handled)
  // until a portion waits to be read and the workers have recorded more behind it.
  void StartAndLetAPortionWait(LoopbackServer& server) {
    ServeLargeSite(server);
    ASSERT_TRUE(server.Start());
    Window().setup().threadCount = 256;
    StartCrawl(server.origin());
    ASSERT_TRUE(Window().actionPage()->isCrawling());
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto loaded = [&] { return PortionUnread() && Pending() > 1000 && Window().crawl()->counters().crawling >= 50; };
    while (!loaded() && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(PortionUnread());
    ASSERT_GT(Pending(), 1000u);
    ASSERT_GE(Window().crawl()->counters().crawling, 50);  // many pages in flight
  }
};

TEST_F(StopUnderLoadTest, StopWhileAPortionWaitsKeepsTheWindowAnsweringShowsEveryPortionAndEndsSoon) {
  LoopbackServer server(300);
  StartAndLetAPortionWait(server);
  const int rowsBefore = Window().actionPage()->list()->RowCount();

  PauseMeter meter;
  QElapsedTimer finish;
  meter.Start();
  finish.start();
  Window().actionPage()->ControlAs<QPushButton>(CDlgSubAction::kIdStop)->click();
  ASSERT_TRUE(WaitUntilIdle(30000));
  const qint64 finishedMs = finish.elapsed();
  const qint64 worstMs = meter.Stop();
  std::cout << "[ figures  ] Stop under 256 workers: finished after " << finishedMs << " ms, worst event-loop pause "
            << worstMs << " ms\n";
  EXPECT_LT(worstMs, 500);
  EXPECT_LT(finishedMs, 10000);

  // The portion that waited, and those handed over while the crawl stopped, were all shown.
  EXPECT_FALSE(PortionUnread());
  EXPECT_EQ(Pending(), 0u);
  const int rows = Window().actionPage()->list()->RowCount();
  EXPECT_GT(rows, rowsBefore + 1000);
  std::set<std::wstring> paths;
  for (int r = 0; r < rows; ++r) paths.insert(Window().actionPage()->list()->ItemText(r, 1));
  EXPECT_EQ(paths.size(), static_cast<size_t>(rows));
  EXPECT_EQ(Count(Window().yahooPage()->ListText(), L"\r\n"), static_cast<size_t>(rows));
  EXPECT_EQ(Count(Window().googlePage()->GetItemText(CDlgSubGoogle::kIdText), L"<loc>"), static_cast<size_t>(rows));
  // Nothing is fetched once the crawl has ended.
  const size_t requested = server.requestLog().size();
  QTest::qWait(200);
  EXPECT_EQ(server.requestLog().size(), requested);
}

TEST_F(StopUnderLoadTest, ClosingWhileAPortionWaitsEndsTheCrawlWithoutBlockingTheEventLoop) {
  LoopbackServer server(300);
  StartAndLetAPortionWait(server);
  PauseMeter meter;
  QElapsedTimer finish;
  meter.Start();
  finish.start();
  Window().ControlAs<QAbstractButton>(CSitemapDlg::kIdClose)->click();
  EXPECT_TRUE(Window().ended());
  EXPECT_TRUE(Window().FinishBackgroundWork(std::chrono::milliseconds(30000)));
  const qint64 finishedMs = finish.elapsed();
  const qint64 worstMs = meter.Stop();
  std::cout << "[ figures  ] close under 256 workers: finished after " << finishedMs << " ms, worst event-loop pause "
            << worstMs << " ms\n";
  EXPECT_LT(worstMs, 500);
  EXPECT_LT(finishedMs, 10000);
}

// The window shows what the hostile pages leave: 100 KB addresses in its lists and sitemap,
// a page of 10,000 links, the cut 8 MiB pages; its event loop keeps answering meanwhile.
TEST_F(StopUnderLoadTest, AHostileSiteIsShownWholeWithoutLongPauses) {
  RawHttpSite site;
  HostileCases cases;
  cases.endless = false;  // their time-outs are the engine's; the window adds nothing there
  const HostileSitePlan plan = FillHostileSite(site, cases);
  ASSERT_TRUE(site.Start());
  Window().setup().maxDepth = kHostileMaxDepth;
  PauseMeter meter;
  meter.Start();
  StartCrawl(site.origin() + "/");
  ASSERT_TRUE(WaitUntilIdle(30000));
  const qint64 worstMs = meter.Stop();
  std::cout << "[ figures  ] hostile site in the window: worst event-loop pause " << worstMs << " ms\n";
  EXPECT_LT(worstMs, 1000);

  std::set<std::wstring> rows;
  CReportList& list = *Window().actionPage()->list();
  for (int r = 0; r < list.RowCount(); ++r) rows.insert(list.ItemText(r, 1));
  const std::wstring urls = Window().yahooPage()->ListText();
  const std::wstring sitemap = Window().googlePage()->GetItemText(CDlgSubGoogle::kIdText);
  const std::string address = site.origin();
  const std::wstring origin(address.begin(), address.end());
  for (const std::string& path : plan.successes) {
    const std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(rows.count(wide), 1u) << path.substr(0, 80);
    EXPECT_NE(urls.find(origin + wide + L"\r\n"), std::wstring::npos) << path.substr(0, 80);
    // An address too long for the sitemap protocol is listed, not written into the sitemap.
    const bool fits = origin.size() + wide.size() <= kMaxSitemapAddress;
    EXPECT_EQ(sitemap.find(L"<loc>" + origin + wide + L"</loc>") != std::wstring::npos, fits) << path.substr(0, 80);
  }
  const int failures = Window().failPage()->list()->RowCount();
  EXPECT_EQ(static_cast<size_t>(list.RowCount() + failures), plan.successes.size() + plan.anyOutcome.size());
  EXPECT_EQ(Window().crawl()->counters().tooDeep, plan.tooDeepLinks);
}

}  // namespace
