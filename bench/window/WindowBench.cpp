// Crawls a generated loopback site of N pages (default 100,000: 100 sections of N/100 pages)
// once through the engine alone and once through the real main window (offscreen), and
// reports pages/s, the window's time per portion and the worst pause of its event loop.
// With a second argument (an origin such as http://127.0.0.1:18080/) it crawls that site
// instead, for example the nginx-served site of bench/crawl.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/CDlgSubAction.h"
#include "app/CSitemapDlg.h"
#include "app/platform/CReportList.h"
#include "app/platform/EditBox.h"
#include "crawl/CrawlStatus.h"
#include "app/platform/MessageQueue.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadControlSitemap.h"
#include "crawl/CrawlResultConsumer.h"
#include "crawl/CrawlStartParams.h"
#include "app/CrawlMessages.h"
#include "output/CrawlSession.h"
#include "settings/CSetupManager.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "web/HttpGlobal.h"

namespace {

int sections = 100;
int perSection = 1000;

std::string Links(const std::vector<std::string>& paths) {
  std::string html = "<html><body>";
  for (const auto& p : paths) html += "<a href=\"" + p + "\">x</a>\n";
  return html + "</body></html>";
}

void Serve(LoopbackServer& server) {
  // Each page comes on a new connection; an idle kept-alive one would hold a server thread.
  server.server().set_keep_alive_max_count(1);
  std::vector<std::string> top;
  for (int i = 0; i < sections; ++i) top.push_back("/s" + std::to_string(i) + ".html");
  std::string root = Links(top);
  server.server().Get("/", [root](const httplib::Request&, httplib::Response& res) { res.set_content(root, "text/html"); });
  server.server().Get(R"(/s(\d+)\.html)", [](const httplib::Request& req, httplib::Response& res) {
    std::string s = req.matches[1];
    std::vector<std::string> pages;
    for (int j = 0; j < perSection; ++j) pages.push_back("/s" + s + "/p" + std::to_string(j) + ".html");
    res.set_content(Links(pages), "text/html");
  });
  server.server().Get(R"(/s\d+/p\d+\.html)", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html><body><a href=\"/\">home</a></body></html>", "text/html");
  });
}

double EngineAlone(const std::string& origin, int threads) {
  CrawlStartParams params;
  params.maxDepth = 5;
  params.threadCount = threads;
  params.startUrl = origin;
  // The window's list of forbidden types, or this pass would fetch the files the window skips.
  params.forbiddenExtensions = CSetupManager().defaultExtensions;
  QElapsedTimer t;
  t.start();
  std::shared_ptr<CrawlSession> crawl = CrawlSession::Start(params, nullptr);
  while (crawl && !crawl->WaitFinished(std::chrono::milliseconds(1000))) {
  }
  double seconds = t.elapsed() / 1000.0;
  int pages = crawl ? crawl->counters().crawledOk : 0;
  std::printf("engine alone: %d pages in %.1f s = %.0f pages/s\n", pages, seconds, pages / seconds);
  return pages / seconds;
}

}  // namespace


class TimedWindow : public CSitemapDlg {
 public:
  std::vector<double> portionMs;
  double endMs = 0;  // the crawl's end: the sitemap page shows the final documents
 protected:
  void OnMessage(const PostedMessage& msg) override {
    QElapsedTimer t;
    t.start();
    CSitemapDlg::OnMessage(msg);
    if (msg.message == WM_CRAWL_RESULTS) portionMs.push_back(t.nsecsElapsed() / 1e6);
    if (msg.message == WM_CRAWL_FINISHED) endMs = t.nsecsElapsed() / 1e6;
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  int pages = argc > 1 ? std::atoi(argv[1]) : 100000;
  perSection = std::max(1, pages / sections);
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  LoopbackServer server;
  std::string origin;
  int threads = CSetupManager::DefaultThreadCount();
  if (argc > 2) {
    origin = argv[2];
    std::printf("site: %s, %d threads\n", origin.c_str(), threads);
  } else {
    Serve(server);
    if (!server.Start()) return 1;
    origin = server.origin();
    std::printf("site: %d pages, %d threads\n", sections * perSection + sections + 1, threads);
  }

  HttpGlobalInit();
  double engine = EngineAlone(origin, threads);
  HttpGlobalCleanup();

  TimedWindow window;
  window.show();
  window.setup().threadCount = threads;
  window.setup().maxDepth = 5;
  CDlgSubAction* page = window.actionPage();
  SetEditText(page->Control(CDlgSubAction::kIdAddress), QString::fromStdString(origin).toStdWString());
  QElapsedTimer last;
  double worstPause = 0;
  QTimer probe;
  probe.setInterval(5);
  // Pauses while pages come in; the end's own time is reported apart, or whether the probe
  // happens to fire once more after it would decide the figure.
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (page->isCrawling()) worstPause = std::max(worstPause, last.nsecsElapsed() / 1e6 - 5);
    last.restart();
  });
  QElapsedTimer t;
  t.start();
  page->StartAction();
  last.start();
  probe.start();
  // Blocks for the next event as the application's own loop does (the probe wakes it every
  // 5 ms); the overload with a time limit drops WaitForMoreEvents and would spin a core.
  while (page->isCrawling()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  double seconds = t.elapsed() / 1000.0;
  probe.stop();
  int crawled = page->list()->RowCount();
  double viaWindow = crawled / seconds;
  double sum = 0, worst = 0;
  for (double ms : window.portionMs) {
    sum += ms;
    worst = std::max(worst, ms);
  }
  std::printf("window: %d pages in %.1f s = %.0f pages/s (%.0f%% of the engine alone)\n", crawled, seconds, viaWindow,
              100.0 * viaWindow / engine);
  std::printf("portions: %zu, mean %.2f ms, worst %.2f ms; worst event-loop pause %.1f ms; the end %.1f ms\n",
              window.portionMs.size(), window.portionMs.empty() ? 0.0 : sum / window.portionMs.size(), worst, worstPause,
              window.endMs);
  return 0;
}

