// The command telling the search engines: its files first, then the pushes, with stand-ins for
// Baidu's and IndexNow's endpoints on loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "support/LoopbackServer.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kToken = "Tok3nNeverInFiles";
constexpr const char* kKey = "0123456789abcdef";

// A small site with a dead page and a gone page, and both endpoints beside it, recording what
// each push brings.
class EngineSite {
 public:
  explicit EngineSite(std::string baiduAnswer = R"({"remain":100,"success":3})", int baiduStatus = 200)
      : baiduAnswer_(std::move(baiduAnswer)), baiduStatus_(baiduStatus) {
    auto& s = server_.server();
    s.Get("/", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(R"(<html><head><title>Home</title></head><body><a href="/a.html">a</a><a href="/b/c.html">c</a>)"
                      R"(<a href="/gone.html">g</a><a href="/missing.html">m</a><a href="/err.html">e</a></body></html>)",
                      "text/html");
    });
    s.Get("/a.html", [](const httplib::Request&, httplib::Response& res) { res.set_content("<html>a</html>", "text/html"); });
    s.Get("/b/c.html", [](const httplib::Request&, httplib::Response& res) { res.set_content("<html>c</html>", "text/html"); });
    s.Get("/gone.html", [](const httplib::Request&, httplib::Response& res) { res.status = 410; });
    s.Get("/err.html", [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    s.Get(std::string("/") + kKey + ".txt", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(kKey, "text/plain");
    });
    s.Post("/urls", [this](const httplib::Request& req, httplib::Response& res) {
      Record("baidu " + req.get_header_value("Content-Type") + "\n" + req.body);
      res.status = baiduStatus_;
      res.set_content(baiduAnswer_, "application/json");
    });
    s.Post("/indexnow", [this](const httplib::Request& req, httplib::Response& res) {
      Record("indexnow " + req.get_header_value("Content-Type") + "\n" + req.body);
      res.status = 202;
    });
    EXPECT_TRUE(server_.Start());
  }

  std::string origin() const { return server_.origin(); }
  std::vector<std::string> pushes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return pushes_;
  }
  std::vector<std::string> PushOptions() const {
    return {"--baidu-site", origin(), "--baidu-token", kToken, "--baidu-endpoint", origin() + "/urls",
            "--indexnow-key", kKey, "--indexnow-endpoint", origin() + "/indexnow"};
  }

 private:
  void Record(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    pushes_.push_back(text);
  }

  std::string baiduAnswer_;
  int baiduStatus_;
  LoopbackServer server_;
  mutable std::mutex lock_;
  std::vector<std::string> pushes_;
};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// Whether any file below dir holds text.
bool AnyFileHolds(const fs::path& dir, const std::string& text) {
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && ReadFileBytes(entry.path()).find(text) != std::string::npos) return true;
  return false;
}

TEST(CliSearchEngineTest, AnEndedCrawlWritesItsFilesThenPushesTheSitemapPagesToBothEngines) {
  EngineSite site;
  TempDir work;
  ChildResult run =
      RunCommand(With({"--plain", "--deadlinks", "--html-sitemap", site.origin()}, site.PushOptions()), work.path());
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::string o = site.origin();
  const std::vector<std::string> pushes = site.pushes();
  ASSERT_EQ(pushes.size(), 2u);
  EXPECT_EQ(pushes[0], "baidu text/plain\n" + o + "/\n" + o + "/a.html\n" + o + "/b/c.html\n");
  EXPECT_EQ(pushes[1].rfind("indexnow application/json; charset=utf-8\n{\"host\":\"127.0.0.1\",\"key\":\"" +
                                std::string(kKey) + "\",\"urlList\":[\"" + o + "/\",",
                            0),
            0u)
      << pushes[1];
  EXPECT_NE(run.out.find("接受 3 条"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("剩余配额 100"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("IndexNow：已提交 3 条"), std::string::npos) << run.out;
  // Baidu's dead-link form: only what answered 404 or 410.
  EXPECT_EQ(ReadFileBytes(work.path() / (SiteFiles(o) + "_deadlinks.txt")),
            o + "/gone.html\n" + o + "/missing.html\n");
  // The page for people: titles where the pages have one, the address where not.
  const std::string html = ReadFileBytes(work.path() / (SiteFiles(o) + "_sitemap.html"));
  EXPECT_NE(html.find("<a href=\"" + o + "/\">Home</a>"), std::string::npos) << html;
  EXPECT_NE(html.find("<h2>/b/</h2>\n<ul>\n<li><a href=\"" + o + "/b/c.html\">" + o + "/b/c.html</a>"), std::string::npos)
      << html;
  // The token goes into the request's address and nowhere else.
  EXPECT_FALSE(AnyFileHolds(work.path(), kToken));
  EXPECT_EQ(run.out.find(kToken), std::string::npos);
  EXPECT_EQ(run.err.find(kToken), std::string::npos);
}

TEST(CliSearchEngineTest, ARefusedPushEndsWithItsOwnStatusAfterTheFilesAreWritten) {
  EngineSite site(R"({"error":401,"message":"token is not valid"})", 401);
  TempDir work;
  ChildResult run = RunCommand(With({"-q", "--plain", site.origin()}, {"--baidu-site", site.origin(), "--baidu-token",
                                                                       kToken, "--baidu-endpoint", site.origin() + "/urls"}),
                               work.path());
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exitStatus, 5) << run.err;
  EXPECT_NE(run.out.find("token is not valid"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("准入密钥（token）无效"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::exists(work.path() / (SiteFiles(site.origin()) + "_sitemap0.xml")));
  EXPECT_EQ(site.pushes().size(), 1u);  // IndexNow was not asked for
  EXPECT_FALSE(AnyFileHolds(work.path(), kToken));
}

TEST(CliSearchEngineTest, NothingIsPushedForACrawlThatFetchedNothingOrWithoutTheOptions) {
  EngineSite site;
  TempDir work;
  // A site that is not there: exit 4 as before, and no request leaves for an engine.
  ChildResult down = RunCommand(With({"-q", "--plain", "http://127.0.0.1:1/"}, site.PushOptions()), work.path());
  EXPECT_EQ(down.exitStatus, 4) << down.err;
  // Settings alone (here: none given) never push.
  ChildResult plain = RunCommand({"-q", "--plain", site.origin()}, work.path());
  EXPECT_EQ(plain.exitStatus, 0) << plain.err;
  EXPECT_TRUE(site.pushes().empty());
}

TEST(CliSearchEngineTest, IncompleteOrMalformedEngineSettingsAreUsageErrors) {
  TempDir work;
  ChildResult badKey = RunCommand({"--indexnow-key", "bad key!", "http://127.0.0.1:1/"}, work.path());
  EXPECT_EQ(badKey.exitStatus, 2);
  EXPECT_NE(badKey.err.find("IndexNow key"), std::string::npos) << badKey.err;
  ChildResult noToken = RunCommand({"--baidu-site", "http://127.0.0.1", "http://127.0.0.1:1/"}, work.path());
  EXPECT_EQ(noToken.exitStatus, 2);
  EXPECT_NE(noToken.err.find("--baidu-token"), std::string::npos) << noToken.err;
}

TEST(CliSearchEngineTest, ARobotsTxtThatNamesNoSitemapGetsTheLineForTheFilesJustWritten) {
  for (const bool named : {false, true}) {
    LoopbackServer server;
    server.server().Get("/robots.txt", [named](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string("User-agent: *\nDisallow: /private/\n") + (named ? "Sitemap: /s.xml\n" : ""), "text/plain");
    });
    server.server().Get("/", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<html><body>home</body></html>", "text/html");
    });
    ASSERT_TRUE(server.Start());
    TempDir work;
    ChildResult run = RunCommand({"-q", "--robots", server.origin()}, work.path());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string line = "Sitemap: " + server.origin() + "/" + SiteFiles(server.origin()) + "_sitemap0.xml.gz";
    EXPECT_EQ(run.err.find(line) != std::string::npos, !named) << run.err;
  }
}

}  // namespace
