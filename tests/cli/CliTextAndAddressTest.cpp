#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ChildProcess.h"
#include "support/ChineseSite.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using namespace chinese;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The one file of the run whose name ends so (its name starts with the host).
fs::path OutputFile(const fs::path& dir, const std::string& ending) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
      return entry.path();
  }
  return {};
}

// The crawl of start through the command, with the options: the URL list's lines (each once:
// a second one would show in the count).
std::multiset<std::string> CrawledAddresses(const std::vector<std::string>& options, const std::string& start,
                                          std::string* sitemap = nullptr) {
  TempDir work;
  std::vector<std::string> args = {"-q", "--plain", "-o", "out"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(start);
  const ChildResult run = RunCommand(args, work.path());
  EXPECT_TRUE(run.exited && run.exitStatus == 0) << start << ": " << run.err;
  const fs::path urls = OutputFile(work.path() / "out", "_urls.txt");
  EXPECT_FALSE(urls.empty()) << start << ": no URL list";
  if (sitemap) *sitemap = ReadFileBytes(OutputFile(work.path() / "out", "_sitemap0.xml"));
  const std::vector<std::string> lines = urls.empty() ? std::vector<std::string>() : Lines(ReadFileBytes(urls));
  return {lines.begin(), lines.end()};
}

bool HasIpv6Loopback() {
  LoopbackServer probe;
  return probe.Start("::1");
}

}  // namespace

TEST(CliTextAndAddressTest, ChineseNamesWrittenDirectlyOrEncodedAreOnePageEachStoredEncoded) {
  ChineseSite site;
  ASSERT_TRUE(site.started());
  const std::string origin = site.server().origin();
  std::string sitemap;
  const std::multiset<std::string> lines = CrawledAddresses({}, origin + "/", &sitemap);
  EXPECT_EQ(lines, (std::multiset<std::string>{origin + "/", origin + kFirst, origin + kProduct}));
  EXPECT_EQ(site.server().requestCount("/新闻/第一篇.html"), 1u);
  EXPECT_EQ(site.server().requestCount("/产品/a.html"), 1u);
  EXPECT_NE(sitemap.find("<loc>" + origin + kFirst + "</loc>"), std::string::npos) << sitemap;
  EXPECT_EQ(sitemap.find("新闻"), std::string::npos) << sitemap;
}

TEST(CliTextAndAddressTest, ChinesePatternsMatchAsReadAndAsEncodedToIncludeAndToExclude) {
  ChineseSite site;
  ASSERT_TRUE(site.started());
  const std::string origin = site.server().origin();
  const std::multiset<std::string> rootAndNews = {origin + "/", origin + kFirst};
  EXPECT_EQ(CrawledAddresses({"-i", "*新闻*"}, origin), rootAndNews);
  EXPECT_EQ(CrawledAddresses({"-i", "*%E6%96%B0*"}, origin), rootAndNews);
  EXPECT_EQ(CrawledAddresses({"-i", "/新闻/*"}, origin), rootAndNews);
  EXPECT_EQ(CrawledAddresses({"-e", "*产品*"}, origin), rootAndNews);
  EXPECT_EQ(CrawledAddresses({"-e", "*第一篇.html"}, origin), (std::multiset<std::string>{origin + "/", origin + kProduct}));
}

TEST(CliTextAndAddressTest, LocalhostIpv4AndBracketedIpv6StartAddressesAreCrawled) {
  LoopbackServer ipv4;
  ipv4.server().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(Page({"a.html"}), "text/html");
  });
  ipv4.server().Get("/a.html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(Page({}), "text/html");
  });
  ASSERT_TRUE(ipv4.Start());
  const std::string port = std::to_string(ipv4.port());
  for (const std::string host : {"localhost", "127.0.0.1", "LocalHost"}) {
    const std::string origin = "http://" + host + ":" + port;
    EXPECT_EQ(CrawledAddresses({}, origin + "/"), (std::multiset<std::string>{origin + "/", origin + "/a.html"}));
  }
  if (!HasIpv6Loopback()) GTEST_SKIP() << "this machine has no IPv6 loopback (::1): the [::1] case is not run";
  ChineseSite site("::1");
  ASSERT_TRUE(site.started());
  const std::string origin = site.server().origin();
  ASSERT_EQ(origin.compare(0, 13, "http://[::1]:"), 0) << origin;
  EXPECT_EQ(CrawledAddresses({"-i", "*新闻*"}, origin + "/"), (std::multiset<std::string>{origin + "/", origin + kFirst}));
}
