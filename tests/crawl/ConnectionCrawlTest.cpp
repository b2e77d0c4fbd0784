#include <gtest/gtest.h>

#include <httplib.h>

#include <atomic>
#include <fstream>
#include <map>
#include <mutex>
#include <set>

#include "CrawlTestSite.h"
#include "support/LoopbackServer.h"
#include "support/RawHttpSite.h"
#include "support/TempDir.h"
#include "texts/CrawlStatusText.h"
#include "web/StatusTextTable.h"

namespace {

using Clock = std::chrono::steady_clock;

// What one request carried, as the server saw it.
struct Seen {
  std::string path;
  std::string authorization;
  std::string token;
  std::string cookie;
  Clock::time_point at;
};

// A loopback site whose pages are answered by one function, with every request logged.
class ConnectionSite {
 public:
  using Answer = std::function<void(const httplib::Request&, httplib::Response&)>;
  explicit ConnectionSite(Answer answer) : answer_(std::move(answer)) {
    server_.server().Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> hold(lock_);
        seen_.push_back({req.path, req.get_header_value("Authorization"), req.get_header_value("X-Staging-Token"),
                         req.get_header_value("Cookie"), Clock::now()});
      }
      answer_(req, res);
    });
  }
  bool Start() { return server_.Start(); }
  std::string origin() const { return server_.origin(); }
  int port() const { return server_.port(); }
  std::vector<Seen> seen() const {
    std::lock_guard<std::mutex> hold(lock_);
    return seen_;
  }
  size_t count(const std::string& path) const {
    size_t n = 0;
    for (const Seen& s : seen()) n += s.path == path;
    return n;
  }

 private:
  Answer answer_;
  LoopbackServer server_{8};
  mutable std::mutex lock_;
  std::vector<Seen> seen_;
};

std::set<std::string> Listed(const CrawlRun& run) {
  std::set<std::string> paths;
  for (const CrawlPortion& p : run.portions) paths.insert(p.okPaths.begin(), p.okPaths.end());
  return paths;
}

std::map<std::string, std::string> Failed(const CrawlRun& run) {
  std::map<std::string, std::string> failed;
  for (const CrawlPortion& p : run.portions)
    for (const auto& [path, code] : FailureTexts(p)) failed[path] = code;
  return failed;
}

void Html(httplib::Response& res, const std::vector<std::string>& links) { res.set_content(PageWithLinks(links), "text/html"); }

const std::vector<std::string> kPages = {"/a.html", "/b.html", "/c.html"};

// "alice:s3cret" in basic authentication.
constexpr const char kBasicAlice[] = "Basic YWxpY2U6czNjcmV0";

// A staging site: every page needs the password, the token header and the session cookie.
bool StagingAllows(const httplib::Request& req) {
  return req.get_header_value("Authorization") == kBasicAlice && req.get_header_value("X-Staging-Token") == "t0k" &&
         req.get_header_value("Cookie").find("session=abc") != std::string::npos;
}

void StagingAnswer(const httplib::Request& req, httplib::Response& res) {
  if (!StagingAllows(req)) {
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"staging\"");
    res.set_content("no", "text/plain");
    return;
  }
  Html(res, req.path == "/" ? kPages : std::vector<std::string>{});
}

std::string CookieFile(const TempDir& dir, const std::string& content) {
  const std::string path = (dir.path() / "cookies.txt").string();
  std::ofstream(path) << content;
  return path;
}

CrawlRun::Options Staging(const std::string& cookieFile, bool withCredentials) {
  CrawlRun::Options options;
  options.httpOptions.emplace();
  if (withCredentials) {
    options.httpOptions->user = "alice";
    options.httpOptions->password = "s3cret";
    options.httpOptions->headers = {"X-Staging-Token: t0k"};
    options.httpOptions->cookieFile = cookieFile;
  }
  return options;
}

TEST(ConnectionCrawlTest, AStagingSiteIsCrawledWithCredentialsHeaderAndCookieAndRefusesWithout401) {
  ConnectionSite site(StagingAnswer);
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string cookies =
      CookieFile(dir, "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tabc\n");

  CrawlRun with;
  ASSERT_TRUE(with.Crawl(site.origin(), Staging(cookies, true)));
  EXPECT_EQ(Listed(with), (std::set<std::string>{"/", "/a.html", "/b.html", "/c.html"}));
  EXPECT_TRUE(Failed(with).empty());

  CrawlRun without;
  ASSERT_TRUE(without.Crawl(site.origin(), Staging("", false)));
  EXPECT_TRUE(Listed(without).empty());
  EXPECT_EQ(Failed(without), (std::map<std::string, std::string>{{"/", "401"}}));
}

// The audit asks for robots.txt and the site's own sitemap as the crawl asks for its pages.
TEST(ConnectionCrawlTest, TheAuditReadsAStagingSitesOwnSitemapWithTheCrawlsCookieAndCredentials) {
  ConnectionSite site([](const httplib::Request& req, httplib::Response& res) {
    if (!StagingAllows(req) || (req.path != "/robots.txt" && req.path != "/sitemap.xml")) {
      StagingAnswer(req, res);
      return;
    }
    if (req.path == "/robots.txt") {
      res.status = 404;
      return;
    }
    std::string xml = "<?xml version=\"1.0\"?><urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">";
    for (const std::string& path : {std::string("/"), kPages[0], kPages[1], kPages[2]})
      xml += "<url><loc>http://" + req.get_header_value("Host") + path + "</loc></url>";
    res.set_content(xml + "</urlset>", "application/xml");
  });
  ASSERT_TRUE(site.Start());
  TempDir dir;
  const std::string cookies =
      CookieFile(dir, "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tabc\n");
  CrawlRun::Options options = Staging(cookies, true);
  options.rules.auditSitemap = true;
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), options));

  // The first probe answered, with the password (libcurl offers it once asked) and the cookie.
  EXPECT_EQ(site.count("/sitemap_index.xml"), 0u);
  for (const Seen& seen : site.seen()) EXPECT_NE(seen.cookie.find("session=abc"), std::string::npos) << seen.path;
  // Their sitemap lists every page the crawl found: the audit has nothing to say.
  EXPECT_EQ(Listed(run), (std::set<std::string>{"/", "/a.html", "/b.html", "/c.html"}));
  EXPECT_TRUE(run.control->AuditRows(0).empty());
}

TEST(ConnectionCrawlTest, ACookieTheSiteSetsIsSentByEveryWorkerAfterwards) {
  // The root hands out the session; the pages need it. The cookie file only starts the jar.
  ConnectionSite site([](const httplib::Request& req, httplib::Response& res) {
    if (req.path == "/") {
      res.set_header("Set-Cookie", "session=fresh; Path=/");
      Html(res, kPages);
      return;
    }
    if (req.get_header_value("Cookie").find("session=fresh") == std::string::npos) res.status = 403;
    Html(res, {});
  });
  ASSERT_TRUE(site.Start());
  TempDir dir;
  CrawlRun::Options options;
  options.threadCount = 3;
  options.httpOptions.emplace();
  options.httpOptions->cookieFile = CookieFile(dir, "# Netscape HTTP Cookie File\n");
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  EXPECT_EQ(Listed(run), (std::set<std::string>{"/", "/a.html", "/b.html", "/c.html"}));
}

TEST(ConnectionCrawlTest, ARedirectToAnotherHostGetsNeitherCredentialsNorHeaders) {
  // robots.txt and the root both lead to localhost, another host than 127.0.0.1.
  // It asks for a password, so libcurl would answer with the credentials if it were allowed to.
  ConnectionSite other([](const httplib::Request&, httplib::Response& res) {
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"other\"");
    res.set_content("no", "text/plain");
  });
  ASSERT_TRUE(other.Start());
  const std::string elsewhere = "http://localhost:" + std::to_string(other.port());
  ConnectionSite site([&](const httplib::Request& req, httplib::Response& res) {
    res.status = 302;
    res.set_header("Location", elsewhere + req.path);
  });
  ASSERT_TRUE(site.Start());
  CrawlRun::Options options = Staging("", true);
  options.rules.obeyRobots = true;
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  ASSERT_EQ(site.count("/"), 1u);
  for (const Seen& s : site.seen()) EXPECT_EQ(s.token, "t0k") << s.path;  // the site itself has them
  ASSERT_GE(other.count("/robots.txt"), 1u);  // robots.txt redirects are followed to other hosts
  for (const Seen& s : other.seen()) {
    EXPECT_EQ(s.authorization, "") << s.path;
    EXPECT_EQ(s.token, "") << s.path;
  }
}

// Pages answered 429 (or 503) the first time each is asked, with the Retry-After given.
ConnectionSite::Answer BusyOnce(int status, const std::string& retryAfter, std::map<std::string, int>& asked,
                                std::mutex& lock) {
  return [status, retryAfter, &asked, &lock](const httplib::Request& req, httplib::Response& res) {
    int n;
    {
      std::lock_guard<std::mutex> hold(lock);
      n = ++asked[req.path];
    }
    if (n == 1) {
      res.status = status;
      if (!retryAfter.empty()) res.set_header("Retry-After", retryAfter);
      res.set_content("busy", "text/plain");
      return;
    }
    Html(res, req.path == "/" ? kPages : std::vector<std::string>{});
  };
}

TEST(ConnectionCrawlTest, A429WithRetryAfterPausesTheWholeCrawlAndEachPageIsAskedAgain) {
  std::map<std::string, int> asked;
  std::mutex lock;
  ConnectionSite site(BusyOnce(429, "1", asked, lock));
  ASSERT_TRUE(site.Start());
  CrawlRun::Options options;
  options.threadCount = 4;
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  EXPECT_EQ(Listed(run), (std::set<std::string>{"/", "/a.html", "/b.html", "/c.html"}));
  EXPECT_TRUE(Failed(run).empty());
  const std::vector<Seen> seen = site.seen();
  std::set<std::string> busy;
  for (size_t i = 0; i < seen.size(); ++i) {
    if (busy.insert(seen[i].path).second) {
      // The first answer to this path was the 429: every later request waited about a second.
      for (size_t j = i + 1; j < seen.size(); ++j)
        if (seen[j].path == seen[i].path) EXPECT_GE(seen[j].at - seen[i].at, std::chrono::milliseconds(900)) << seen[i].path;
    }
  }
}

TEST(ConnectionCrawlTest, A503WithoutRetryAfterBacksOffAndAPageStillBusyAfterFourTriesFails) {
  std::map<std::string, int> asked;
  std::mutex lock;
  ConnectionSite site([&](const httplib::Request& req, httplib::Response& res) {
    {
      std::lock_guard<std::mutex> hold(lock);
      ++asked[req.path];
    }
    if (req.path == "/") return Html(res, {"/busy.html"});
    res.status = req.path == "/busy.html" ? 429 : 503;
    res.set_content("busy", "text/plain");
  });
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), CrawlRun::Options{}));
  EXPECT_EQ(Failed(run), (std::map<std::string, std::string>{{"/busy.html", "429"}}));
  EXPECT_EQ(asked["/busy.html"], CSitemapControl::kBusyTries);
  // Waits of 1, 2 and 4 s between the four tries.
  const std::vector<Seen> seen = site.seen();
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_GE(seen[2].at - seen[1].at, std::chrono::milliseconds(950));
  EXPECT_GE(seen[3].at - seen[2].at, std::chrono::milliseconds(1950));
  EXPECT_GE(seen[4].at - seen[3].at, std::chrono::milliseconds(3950));
  ASSERT_NE(StatusText("429"), nullptr);
  EXPECT_EQ(*StatusText("429"), "请求过多");
}

TEST(ConnectionCrawlTest, TheStatusLineShowsThePauseWhileTheSiteIsWaitedOut) {
  std::map<std::string, int> asked;
  std::mutex lock;
  ConnectionSite site(BusyOnce(503, "3", asked, lock));
  ASSERT_TRUE(site.Start());
  CrawlRun run;
  run.Start(site.origin(), CrawlRun::Options{});
  std::string note;
  const auto limit = Clock::now() + std::chrono::seconds(20);
  while (!run.finished && Clock::now() < limit) {
    run.Pump();
    if (note.empty()) note = PauseText(run.session->pauseRemaining());
  }
  ASSERT_TRUE(run.finished);
  EXPECT_NE(note.find("暂停请求"), std::string::npos) << note;
  EXPECT_EQ(PauseText(run.session->pauseRemaining()), "");
}

TEST(ConnectionCrawlTest, MaxRateSpacesRequestsAtTheServerAndTheStricterOfRateAndIntervalHolds) {
  ConnectionSite site([](const httplib::Request& req, httplib::Response& res) {
    std::vector<std::string> links;
    if (req.path == "/")
      for (int i = 0; i < 9; ++i) links.push_back("/p" + std::to_string(i) + ".html");
    Html(res, links);
  });
  ASSERT_TRUE(site.Start());
  CrawlRun::Options options;
  options.threadCount = 8;
  options.maxRate = 5;
  options.rules.minIntervalMs = 50;  // looser than 5 a second: the rate holds
  CrawlRun run;
  ASSERT_TRUE(run.Crawl(site.origin(), options));
  const std::vector<Seen> seen = site.seen();
  ASSERT_EQ(seen.size(), 10u);
  // The turns are kept at the client: one gap may shrink on a busy machine, the run does not.
  for (size_t i = 1; i < seen.size(); ++i)
    EXPECT_GE(seen[i].at - seen[i - 1].at, std::chrono::milliseconds(100)) << "request " << i;
  // A request on a new connection reaches the server later than one on a kept one (much later
  // under a sanitizer): the nine turns of 200 ms span at least eight, where 50 ms would give
  // less than three.
  EXPECT_GE(seen.back().at - seen.front().at, std::chrono::milliseconds(8 * 200));
}

TEST(ConnectionCrawlTest, TheProxyCarriesRobotsTxtAndEveryPageOfTheCrawl) {
  // A forward proxy that answers everything itself and logs the absolute targets it was sent;
  // nothing listens at the site's own port.
  RawHttpSite proxy;
  proxy.RoutePrefix("http://", [](const std::string& target, RawHttpSite::Connection& out) {
    const bool root = target.size() > 1 && target.back() == '/';
    return out.Send(HttpAnswer(200, root ? "text/html" : "text/plain", root ? PageWithLinks({"/a.html"}) : ""));
  });
  ASSERT_TRUE(proxy.Start());
  CrawlRun::Options options;
  options.rules.obeyRobots = true;
  options.httpOptions.emplace();
  options.httpOptions->proxy = proxy.origin();
  CrawlRun run;
  ASSERT_TRUE(run.Crawl("http://127.0.0.1:1/", options));
  EXPECT_EQ(Listed(run), (std::set<std::string>{"/", "/a.html"}));
  const std::vector<std::string> targets = proxy.targets();
  const std::set<std::string> seen(targets.begin(), targets.end());
  EXPECT_EQ(seen, (std::set<std::string>{"http://127.0.0.1:1/robots.txt", "http://127.0.0.1:1/", "http://127.0.0.1:1/a.html"}));
}

}  // namespace
