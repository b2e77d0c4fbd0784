// The URL rules on sites that never end without them: session ids, tracking parameters, a
// calendar, an endless tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "ChildProcess.h"
#include "support/LoopbackServer.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

void Html(httplib::Response& res, const std::string& body) {
  res.set_content("<html><body>" + body + "</body></html>", "text/html");
}

std::string Link(const std::string& href) { return "<a href=\"" + href + "\">x</a>"; }

std::string FilesText(const fs::path& dir, const std::string& origin) {
  const std::string site = SiteFiles(origin);
  return ReadFileBytes(dir / (site + "_urls.txt")) + ReadFileBytes(dir / (site + "_sitemap0.xml")) +
         ReadFileBytes(dir / (site + "_failed.tsv"));
}

size_t CountOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

constexpr int kPages = 40;

// Every page view hands out a fresh session id in each of its links, as a PHP site without
// cookies does: /page/N, /item.php?b=N&a=1 and the redirect /old/N are the site's real pages.
void ServeSessionSite(LoopbackServer& server) {
  auto fresh = std::make_shared<std::atomic<int>>(0);
  server.server().Get(R"(/.*)", [fresh](const httplib::Request& req, httplib::Response& res) {
    auto id = [&] { return "S" + std::to_string(++*fresh) + "X"; };
    const std::string& path = req.path;
    int n = 0;
    if (path == "/") {
      Html(res, Link("/page/0?PHPSESSID=" + id()));
      return;
    }
    if (path.rfind("/old/", 0) == 0) {
      n = std::atoi(path.c_str() + 5);
      res.status = 301;
      res.set_header("Location", "/page/" + std::to_string((n + 5) % kPages) + "?sid=" + id());
      return;
    }
    if (path == "/item.php") {
      Html(res, Link("/?sid=" + id()));
      return;
    }
    if (path.rfind("/page/", 0) != 0) {
      res.status = 404;
      return;
    }
    n = std::atoi(path.c_str() + 6);
    if (n < 0 || n >= kPages) {
      res.status = 404;
      return;
    }
    const std::string b = std::to_string(n);
    Html(res, Link("/page/" + std::to_string((n + 1) % kPages) + "?PHPSESSID=" + id()) +
                  Link("/page/" + std::to_string((n * 7 + 3) % kPages) + ";jsessionid=" + id()) +
                  Link("/page/" + std::to_string((n + 2) % kPages) + "?utm_source=news&utm_medium=mail&SID=" + id()) +
                  Link("/item.php?b=" + b + "&sid=" + id() + "&a=1") + Link("/old/" + b) +
                  Link("/page/" + b + "?gclid=" + id()));
  });
}

}  // namespace

TEST(CliUrlRulesTest, SessionIdsAndTrackingParametersAreTakenOffAndEveryRealPageIsFetchedOnce) {
  LoopbackServer server;
  ServeSessionSite(server);
  ASSERT_TRUE(server.Start());
  TempDir work;
  ChildResult run = RunCommand({"-q", "--plain", "-t", "4", "-d", "999", "--remove-param", "phpsessid", "--remove-param",
                                "jsessionid", "--remove-param", "sid", "--remove-param", "utm_*", "--remove-param",
                                "gclid", server.origin()},
                               work.path());
  ASSERT_TRUE(run.exited) << run.err;
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  std::map<std::string, int> fetched;
  for (const std::string& target : server.requestLog()) ++fetched[target];
  std::set<std::string> expected{"/"};
  for (int n = 0; n < kPages; ++n) {
    expected.insert("/page/" + std::to_string(n));
    expected.insert("/item.php?b=" + std::to_string(n) + "&a=1");  // its own parameters, in their order
    expected.insert("/old/" + std::to_string(n));
  }
  std::set<std::string> got;
  for (const auto& [target, times] : fetched) {
    got.insert(target);
    EXPECT_EQ(times, 1) << target;
  }
  EXPECT_EQ(got, expected);
  const std::string files = Lower(FilesText(work.path(), server.origin()));
  for (const char* id : {"sessid", "jsessionid", "sid=", "utm_", "gclid"}) EXPECT_EQ(files.find(id), std::string::npos) << id;
  // The real pages are all listed: each page, each item, the root.
  EXPECT_EQ(CountOf(ReadFileBytes(work.path() / (SiteFiles(server.origin()) + "_sitemap0.xml")), "<loc>"),
            static_cast<size_t>(2 * kPages + 1));
}

TEST(CliUrlRulesTest, AnEndlessCalendarIsSkippedOrCutByThePageLimitAndTooLongAnAddressStaysOutOfTheSitemap) {
  LoopbackServer server(8);
  const std::string longPath = "/long/" + std::string(3000, 'q') + ".html";
  server.server().Get(R"(/.*)", [longPath](const httplib::Request& req, httplib::Response& res) {
    if (req.path == "/") {
      Html(res, Link("/cal?month=0") + Link("/a.html") + Link(longPath));
    } else if (req.path == "/cal") {
      // Next month, and the month after, for ever.
      const long month = std::atol(req.get_param_value("month").c_str());
      Html(res, Link("/cal?month=" + std::to_string(month + 1)) + Link("/cal?month=" + std::to_string(month + 2)));
    } else {
      Html(res, Link("/"));
    }
  });
  ASSERT_TRUE(server.Start());
  const std::string site = SiteFiles(server.origin());
  {
    // Skipped: never fetched, followed or listed, counted as not allowed.
    TempDir work;
    ChildResult run = RunCommand({"--plain", "-d", "999", "--skip", "/cal*", server.origin()}, work.path());
    ASSERT_TRUE(run.exited) << run.err;
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    // The root's two links are fetched by two workers at once, in either order.
    std::vector<std::string> requested = server.requestLog();
    if (requested.size() > 1) std::sort(requested.begin() + 1, requested.end());
    EXPECT_EQ(requested, (std::vector<std::string>{"/", "/a.html", longPath})) << requested.size() << run.err;
    EXPECT_NE(run.err.find("不允许爬的1条"), std::string::npos) << run.err;
    EXPECT_EQ(FilesText(work.path(), server.origin()).find("/cal"), std::string::npos);
    // The 3,000-character address is fetched and listed, not written into the sitemap.
    EXPECT_NE(ReadFileBytes(work.path() / (site + "_urls.txt")).find(longPath), std::string::npos);
    EXPECT_EQ(ReadFileBytes(work.path() / (site + "_sitemap0.xml")).find("/long/"), std::string::npos);
    EXPECT_NE(run.err.find("1 page left out of the sitemap: the address is longer than 2048 characters"),
              std::string::npos) << run.err;
  }
  {
    // Excluded instead: fetched and followed, so only the page limit ends it; a normal end, the
    // files written with what was fetched.
    TempDir work;
    const size_t before = server.requestLog().size();
    ChildResult run = RunCommand({"-q", "--plain", "-t", "8", "-d", "999", "--exclude", "/cal*", "--max-pages", "300",
                                  server.origin()},
                                 work.path());
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const size_t requests = server.requestLog().size() - before;
    EXPECT_GT(requests, 250u);
    EXPECT_LE(requests, 300u);
    EXPECT_NE(run.err.find("page limit reached (300)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("已达到网页数上限（300）"), std::string::npos) << run.err;
    size_t months = 0;
    for (size_t i = before; i < server.requestLog().size(); ++i) months += server.requestLog()[i].rfind("/cal?", 0) == 0;
    EXPECT_GT(months, 250u);
    EXPECT_EQ(FilesText(work.path(), server.origin()).find("/cal"), std::string::npos)
        << FilesText(work.path(), server.origin());
    EXPECT_NE(ReadFileBytes(work.path() / (site + "_sitemap0.xml")).find("/a.html"), std::string::npos);
  }
}

TEST(CliUrlRulesTest, AThousandAddressesDifferingInOneParameterNameItAndTheRuleOnce) {
  LoopbackServer server(8);
  server.server().Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
    std::string links;
    if (req.path == "/")
      for (int i = 0; i < 1200; ++i) links += Link("/list?sort=a&view=" + std::to_string(i) + "&x=1");
    Html(res, links + Link("/about?sort=a"));
  });
  ASSERT_TRUE(server.Start());
  TempDir work;
  ChildResult run = RunCommand({"-q", "--plain", "-t", "8", server.origin()}, work.path());
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(CountOf(run.err, "differ only in the query parameter 'view'; if it does not change the page, "
                             "--remove-param view crawls each page once"),
            1u)
      << run.err;
  // A hint only: every address is still crawled.
  EXPECT_EQ(server.requestLog().size(), 1202u);
}

TEST(CliUrlRulesTest, ASiteThatRedirectsEveryPageToItsSessionIdIsStillCrawledUnderThePlainAddresses) {
  // Without a cookie every page answers with a redirect to itself under a new ;jsessionid=.
  LoopbackServer server;
  auto fresh = std::make_shared<std::atomic<int>>(0);
  server.server().Get(R"(/.*)", [fresh](const httplib::Request& req, httplib::Response& res) {
    const size_t semi = req.path.find(";jsessionid=");
    if (semi == std::string::npos) {
      res.status = 302;
      res.set_header("Location", req.path + ";jsessionid=" + std::to_string(++*fresh));
      return;
    }
    const std::string page = req.path.substr(0, semi);
    const std::string id = ";jsessionid=" + std::to_string(++*fresh);
    if (page == "/") Html(res, Link("/a.html" + id) + Link("/b.html" + id));
    else if (page == "/a.html" || page == "/b.html") Html(res, Link("/" + id) + Link("/a.html" + id));
    else res.status = 404;
  });
  ASSERT_TRUE(server.Start());
  TempDir work;
  ChildResult run = RunCommand({"-q", "--plain", "--remove-param", "JSESSIONID", server.origin()}, work.path());
  ASSERT_TRUE(run.exited) << run.err;
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::string site = SiteFiles(server.origin());
  const std::string urls = ReadFileBytes(work.path() / (site + "_urls.txt"));
  for (const char* page : {"/\r\n", "/a.html", "/b.html"}) EXPECT_NE(urls.find(server.origin() + page), std::string::npos) << urls;
  EXPECT_EQ(CountOf(urls, "\r\n"), 2u) << urls;
  EXPECT_EQ(Lower(FilesText(work.path(), server.origin())).find("jsessionid"), std::string::npos);
  EXPECT_EQ(server.requestLog().size(), 6u);  // each page and its redirect once
}
