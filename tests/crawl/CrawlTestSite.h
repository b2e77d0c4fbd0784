#pragma once
// A small web site on a loopback server, and a crawl run played against it with a queue of
// the hand-over's news standing in for the main window.
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "NoticeQueue.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CrawlPortion.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/PatternFilter.h"
#include "crawl/PortionHandOver.h"
#include "output/CrawlResults.h"
#include "output/CrawlSession.h"
#include "support/LoopbackServer.h"

// A portion's failures as (path, outcome text), as the failure page shows them.
inline std::vector<std::pair<std::string, std::string>> FailureTexts(const CrawlPortion& portion) {
  std::vector<std::pair<std::string, std::string>> texts;
  for (const FailedPage& failure : portion.failures) texts.emplace_back(failure.path, failure.outcome.Text());
  return texts;
}

// A page whose body holds one anchor per link.
inline std::string PageWithLinks(const std::vector<std::string>& links) {
  std::string html = "<html><head><title>t</title></head><body>";
  for (const std::string& link : links) html += "<p><a href=\"" + link + "\">x</a></p>";
  return html + "</body></html>";
}

class TestSite {
 public:
  struct Page {
    int status = 200;
    std::string html;
  };
  // Produces the page of a path that has no fixed page; false for 404.
  using Generator = std::function<bool(const std::string& path, Page& page)>;

  // threads: requests answered at once (0: the server library's default).
  explicit TestSite(size_t threads = 0) : server_(threads) {
    server_.server().Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); });
  }
  // The answers still running read the pages: they end before the pages go.
  ~TestSite() { server_.Stop(); }

  void Add(const std::string& path, const std::vector<std::string>& links, int status = 200) {
    std::lock_guard<std::mutex> guard(lock_);
    pages_[path] = Page{status, PageWithLinks(links)};
  }
  void SetGenerator(Generator generator) { generator_ = std::move(generator); }
  // Runs before a page is answered, on the server's thread (to hold a page back).
  void SetBeforeAnswer(std::function<void(const std::string&)> hook) { beforeAnswer_ = std::move(hook); }

  bool Start() { return server_.Start(); }
  LoopbackServer& server() { return server_; }
  std::string origin() const { return server_.origin(); }
  int maxInFlight() const { return maxInFlight_.load(); }
  // Paths in order of arrival, logged before the answer (the server's own log is written
  // after the answer has gone out, so a client may be done before it shows there).
  std::vector<std::string> arrivals() const {
    std::lock_guard<std::mutex> guard(lock_);
    return arrivals_;
  }
  size_t arrivalCount(const std::string& path) const {
    std::lock_guard<std::mutex> guard(lock_);
    size_t n = 0;
    for (const std::string& p : arrivals_) n += p == path;
    return n;
  }

 private:
  void Serve(const httplib::Request& req, httplib::Response& res) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      arrivals_.push_back(req.path);
    }
    int now = ++inFlight_;
    int seen = maxInFlight_.load();
    while (now > seen && !maxInFlight_.compare_exchange_weak(seen, now)) {
    }
    if (beforeAnswer_) beforeAnswer_(req.path);
    Page page;
    bool found = false;
    {
      std::lock_guard<std::mutex> guard(lock_);
      auto it = pages_.find(req.path);
      if (it != pages_.end()) {
        page = it->second;
        found = true;
      }
    }
    if (!found && generator_) found = generator_(req.path, page);
    if (found) {
      res.status = page.status;
      res.set_content(page.html, "text/html");
    } else {
      res.status = 404;
      res.set_content("<html><body>missing</body></html>", "text/html");
    }
    --inFlight_;
  }

  LoopbackServer server_;
  mutable std::mutex lock_;
  std::map<std::string, Page> pages_;
  std::vector<std::string> arrivals_;
  Generator generator_;
  std::function<void(const std::string&)> beforeAnswer_;
  std::atomic<int> inFlight_{0};
  std::atomic<int> maxInFlight_{0};
};

// One crawl at a time, started as the window starts it, with a queue playing the window: the
// crawl's portions are posted to the queue and taken from it as the window takes them.
class CrawlRun {
 public:
  struct Options {
    int32_t maxDepth = 5;
    int32_t threadCount = 4;
    StringISet forbidden;
    std::string include;
    std::string exclude;
    CrawlRules rules;
    SitemapContent sitemap;
    std::optional<http_options> httpOptions;
    int32_t maxRate = 0;
    std::string journalPath;
    bool resume = false;
    std::string historyFolder = "db/history";
  };

  ~CrawlRun() {
    if (session) session->WaitFinished(std::chrono::seconds(30));
  }

  static CrawlStartParams ParamsOf(const std::string& startUrl, const Options& options) {
    CrawlStartParams params;
    params.startUrl = startUrl;
    params.maxDepth = options.maxDepth;
    params.threadCount = options.threadCount;
    params.forbiddenExtensions = options.forbidden;
    params.rules = options.rules;
    params.sitemap = options.sitemap;
    params.httpOptions = options.httpOptions;
    params.maxRate = options.maxRate;
    params.journalPath = options.journalPath;
    params.resume = options.resume;
    params.historyFolder = options.historyFolder;
    PatternFilter::FillPatternSet(params.includePatterns, options.include);
    PatternFilter::FillPatternSet(params.excludePatterns, options.exclude);
    return params;
  }

  void Start(const std::string& startUrl, const Options& options) {
    finished = false;
    poster = std::make_shared<PortionHandOver>(queue.NotifyFor(++crawls_));
    posterId_ = crawls_;
    session = CrawlSession::Start(ParamsOf(startUrl, options), poster, prepare);
    control = session ? &session->control() : nullptr;
  }

  // Handles one message if one comes within the wait.
  void Pump(std::chrono::milliseconds wait = std::chrono::milliseconds(50)) {
    auto msg = queue.Take(wait);
    if (!msg) return;
    messages.push_back(msg->event);
    if (!poster || msg->crawl != posterId_) return;
    if (msg->event == PortionHandOver::Event::PortionsWaiting) {
      CrawlPortion portion = poster->Take();
      poster->Release();
      for (const auto& [path, outcome] : portion.entries) entries.emplace_back(path, outcome.Text());
      portions.push_back(std::move(portion));
    } else {
      finished = true;
      if (onFinished) onFinished();
    }
  }

  // Plays the main window until the crawl has finished (a generous safety limit, no timing check).
  bool RunUntilFinished() {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!finished && std::chrono::steady_clock::now() < limit) Pump();
    return finished && session->ThreadEnded(std::chrono::seconds(30));
  }

  bool Crawl(const std::string& startUrl, const Options& options) {
    Start(startUrl, options);
    return RunUntilFinished();
  }

  CrawlResults& results() { return *session->results(); }

  size_t CountMessages(PortionHandOver::Event event) const {
    size_t n = 0;
    for (PortionHandOver::Event m : messages) n += m == event;
    return n;
  }

  // Runs on each new crawl before it starts (to replace how its pages are fetched).
  CrawlSession::Prepare prepare;
  std::function<void()> onFinished;

  NoticeQueue queue;
  std::shared_ptr<PortionHandOver> poster;
  std::shared_ptr<CrawlSession> session;
  CSitemapControl* control = nullptr;
  std::vector<CrawlPortion> portions;
  std::vector<std::pair<std::string, std::string>> entries;
  std::vector<PortionHandOver::Event> messages;
  bool finished = false;

 private:
  intptr_t crawls_ = 0;
  intptr_t posterId_ = 0;
};
