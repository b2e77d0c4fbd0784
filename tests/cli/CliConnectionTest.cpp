// The command's connection options, run as the user runs it: a staging site behind a password,
// a header and a cookie, and the entries refused before anything is fetched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "ChildProcess.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char kPassword[] = "s3cret-Pa55";

std::string Page(const std::vector<std::string>& links) {
  std::string html = "<html><body>";
  for (const std::string& link : links) html += "<a href=\"" + link + "\">x</a>";
  return html + "</body></html>";
}

// Every byte of every file below dir.
std::string EverythingIn(const fs::path& dir) {
  std::string all;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file()) all += ReadFileBytes(entry.path());
  return all;
}

TEST(CliConnectionTest, AStagingSiteIsCrawledWithUserHeaderAndCookieAndThePasswordIsInNoFile) {
  LoopbackServer site;
  site.server().Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
    // "alice:s3cret-Pa55"
    if (req.get_header_value("Authorization") != "Basic YWxpY2U6czNjcmV0LVBhNTU=" ||
        req.get_header_value("X-Staging") != "yes" || req.get_header_value("Cookie") != "gate=open") {
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"staging\"");
      return;
    }
    res.set_content(req.path == "/" ? Page({"/a.html", "/b.html"}) : Page({}), "text/html");
  });
  ASSERT_TRUE(site.Start());
  TempDir work;
  const fs::path cookies = work.path() / "cookies.txt";
  std::ofstream(cookies) << "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tgate\topen\n";
  const fs::path out = work.path() / "out";

  ChildResult run = RunCommand({"--user", std::string("alice:") + kPassword, "--header", "X-Staging: yes", "--cookie-file",
                                cookies.string(), "--plain", "-o", out.string(), site.origin()},
                               work.path());
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::string urls = ReadFileBytes(out / ("127.0.0.1_" + std::to_string(site.port()) + "_urls.txt"));
  EXPECT_NE(urls.find("/a.html"), std::string::npos) << urls;
  EXPECT_NE(urls.find("/b.html"), std::string::npos) << urls;
  EXPECT_EQ(run.err.find(kPassword), std::string::npos);
  EXPECT_EQ(run.out.find(kPassword), std::string::npos);
  // The output files, the journal and anything else the run left.
  EXPECT_EQ(EverythingIn(work.path()).find(kPassword), std::string::npos);

  ChildResult without = RunCommand({"--plain", "-o", out.string(), site.origin()}, work.path());
  EXPECT_EQ(without.exitStatus, 4);
  EXPECT_NE(without.err.find("401"), std::string::npos) << without.err;
}

TEST(CliConnectionTest, BadConnectionEntriesExitWithTwoBeforeAnythingIsFetched) {
  LoopbackServer site;
  site.server().Get(R"(/.*)", [](const httplib::Request&, httplib::Response& res) { res.set_content("x", "text/html"); });
  ASSERT_TRUE(site.Start());
  TempDir work;
  const fs::path notCookies = work.path() / "notes.txt";
  std::ofstream(notCookies) << "just some notes\n";
  const std::string missing = (work.path() / "missing.txt").string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--header", "X-Ok: 1", "--header", "no colon"}, "not one line 'Name: value'"},
      {{"--header", "Host: other.example"}, "would replace"},
      {{"--header", "Content-Length: 0"}, "would replace"},
      {{"--proxy", "ftp://proxy:21"}, "is not an http://"},
      {{"--proxy", "http://"}, "names no host"},
      {{"--cookie-file", missing}, "cannot read the cookie file"},
      {{"--cookie-file", notCookies.string()}, "not a Netscape cookie file"},
      {{"--cacert", missing}, "cannot read the CA file"},
      {{"--cacert", notCookies.string()}, "holds no PEM certificate"},
      {{"--timeout", "0"}, "invalid time-out '0'"},
      {{"--connect-timeout", "301"}, "invalid connect time-out '301'"},
      {{"--max-rate", "-1"}, "invalid request rate"},
      {{"--user", ":nobody"}, "no user name"},
      {{"--user", "alice"}, "keep no password"},
  };
  for (const auto& [options, mentioned] : cases) {
    std::vector<std::string> args = options;
    args.push_back(site.origin());
    ChildResult run = RunCommand(args, work.path());
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 2) << mentioned;
    EXPECT_NE(run.err.find(mentioned), std::string::npos) << run.err;
  }
  EXPECT_TRUE(site.requestLog().empty());
}

}  // namespace
