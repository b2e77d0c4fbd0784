#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "ChildProcess.h"
#include "common/TextCodec.h"
#include "output/CSitemapXmlWriter.h"
#include "output/FailureReport.h"
#include "store/CLevelDb.h"
#include "support/LoopbackServer.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"
#include "common/Status.h"

namespace fs = std::filesystem;

namespace {

std::string Page(const std::vector<std::string>& links) {
  std::string html = "<html><head><title>t</title></head><body><ul>";
  for (const std::string& link : links) html += "<li><a href=\"" + link + "\">x</a></li>";
  return html + "</ul></body></html>";
}

// "/" links to two pages, a missing one, a forbidden file type and another site; /a.html
// links one level further.
class SmallSite {
 public:
  SmallSite() {
    Serve("/", Page({"/a.html", "/b.html", "/missing.html", "/doc.pdf", "http://elsewhere.example.org/x.html"}));
    Serve("/a.html", Page({"/c.html", "/"}));
    Serve("/b.html", Page({"/a.html"}));
    Serve("/c.html", Page({}));
    started_ = server_.Start();
  }
  bool started() const { return started_; }
  LoopbackServer& server() { return server_; }
  std::string origin() const { return server_.origin(); }
  std::string Address(const std::string& path) const { return origin() + path; }
  std::set<std::string> AllAddresses() const {
    return {Address("/"), Address("/a.html"), Address("/b.html"), Address("/c.html")};
  }

 private:
  void Serve(const std::string& path, const std::string& body) {
    server_.server().Get(path, [body](const httplib::Request&, httplib::Response& res) {
      res.set_content(body, "text/html");
    });
  }
  LoopbackServer server_;
  bool started_ = false;
};

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

std::string Gunzip(const fs::path& file) {
  gzFile in = gzopen(file.c_str(), "rb");
  if (!in) return {};
  std::string text;
  char buf[8192];
  int n = 0;
  while ((n = gzread(in, buf, sizeof buf)) > 0) text.append(buf, static_cast<size_t>(n));
  gzclose(in);
  return text;
}

// The bytes the sitemap page's Save gives for one portion of addresses (sorted byte-wise).
std::string ExpectedSitemap(const std::set<std::string>& addresses, bool gzip) {
  TempDir dir;
  CSitemapXmlWriter writer;
  for (const std::string& address : addresses) writer.AddUrl(address);
  ScopedWorkingDir in(dir.path());
  writer.SaveAll("host", gzip);
  return gzip ? Gunzip(dir.path() / "host_sitemap0.xml.gz") : ReadFileBytes(dir.path() / "host_sitemap0.xml");
}

std::string FailureLine(const std::string& path, const std::string& code, const std::string& foundOn) {
  return path + "\t" + code + "\t" + FailureDescription(code) + "\t" + foundOn + "\n";
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// Two ports of one host and a third site, crawled side by side: each site gets its own three
// files holding only its own pages, and the run ends with the worst status of its crawls.
TEST(CliRunTest, SeveralSitesInOneRunEachWriteTheirOwnFilesEvenOnOneHost) {
  SmallSite one;
  SmallSite two;
  ASSERT_TRUE(one.started() && two.started());
  TempDir work;
  const std::string localhost = "http://localhost:" + one.origin().substr(one.origin().rfind(':') + 1);
  ChildResult run = RunCommand({"--plain", "-t", "2", one.origin(), two.origin() + "/", localhost}, work.path());
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  for (const SmallSite* site : {&one, &two}) {
    const std::string prefix = SiteFiles(site->origin());
    std::vector<std::string> lines = SplitCrLf(ReadFileBytes(work.path() / (prefix + "_urls.txt")));
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), site->AllAddresses()) << prefix;
    EXPECT_EQ(ReadFileBytes(work.path() / (prefix + "_sitemap0.xml")), ExpectedSitemap(site->AllAddresses(), false));
    EXPECT_EQ(ReadFileBytes(work.path() / (prefix + "_failed.tsv")), FailureLine("/missing.html", "404", site->origin() + "/"));
  }
  EXPECT_TRUE(fs::exists(work.path() / ("localhost_" + one.origin().substr(one.origin().rfind(':') + 1) + "_urls.txt")));
  EXPECT_NE(run.err.find("crawling " + two.origin()), std::string::npos) << run.err;

  // One address the program cannot crawl refuses the whole run before anything starts.
  ChildResult bad = RunCommand({"-q", one.origin(), "http://"}, work.path());
  EXPECT_EQ(bad.exitStatus, 3) << bad.err;
}

// Nothing listens on the port, or the root is missing: the command says why and exits 4,
// and the files are still written for the one site of the run that answered.
TEST(CliRunTest, ASiteThatGivesNothingIsNamedWithItsCauseAndExitsFour) {
  std::string gone;
  {
    LoopbackServer server;
    ASSERT_TRUE(server.Start());
    gone = server.origin();
  }
  TempDir work;
  ChildResult run = RunCommand({"-q", gone}, work.path());
  EXPECT_EQ(run.exitStatus, 4) << run.err;
  EXPECT_NE(run.err.find("curl 7"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("无法连接到服务器"), std::string::npos) << run.err;

  LoopbackServer empty;  // answers 404 for everything
  ASSERT_TRUE(empty.Start());
  SmallSite site;
  ASSERT_TRUE(site.started());
  ChildResult both = RunCommand({"-q", site.origin(), empty.origin()}, work.path());
  EXPECT_EQ(both.exitStatus, 4) << both.err;
  EXPECT_NE(both.err.find("404"), std::string::npos) << both.err;
  EXPECT_EQ(SplitCrLf(ReadFileBytes(work.path() / (SiteFiles(site.origin()) + "_urls.txt"))).size(), 4u);
}

TEST(CliRunTest, PlainCrawlWritesTheThreeFilesAsTheWindowWouldSaveThem) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  TempDir work;
  ChildResult run = RunCommand({"--plain", "-q", "-o", "out", site.origin() + "/"}, work.path());
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");  // quiet

  fs::path out = work.path() / "out";
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{SiteFiles(site.origin()) + "_failed.tsv", SiteFiles(site.origin()) + "_sitemap0.xml", SiteFiles(site.origin()) + "_urls.txt"}));

  // The URL list: the fetched addresses, CR LF between them and nothing after the last.
  std::string urls = ReadFileBytes(out / (SiteFiles(site.origin()) + "_urls.txt"));
  std::vector<std::string> lines = SplitCrLf(urls);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), site.AllAddresses()) << urls;
  EXPECT_EQ(lines.size(), 4u);
  EXPECT_NE(urls.substr(urls.size() - 2), "\r\n");

  // A small site comes in one portion, so the sitemap holds it sorted byte-wise.
  EXPECT_EQ(ReadFileBytes(out / (SiteFiles(site.origin()) + "_sitemap0.xml")), ExpectedSitemap(site.AllAddresses(), false));

  EXPECT_EQ(ReadFileBytes(out / (SiteFiles(site.origin()) + "_failed.tsv")),
            FailureLine("/missing.html", "404", site.origin() + "/"));
  // The forbidden type and the other site were never asked for.
  EXPECT_EQ(site.server().requestCount("/doc.pdf"), 0u);
  EXPECT_EQ(site.server().requestCount("/missing.html"), 1u);
}

// The disk takes no file larger than 1500 bytes: the sitemap of 31 pages does not fit, the URL
// list and the failure list do.
TEST(CliRunTest, AFileThatCannotBeWrittenIsNamedWithTheReasonTheOldOneStaysAndTheExitStatusIsOne) {
  LoopbackServer server;
  std::vector<std::string> links;
  for (int i = 1; i <= 30; ++i) links.push_back("/p" + std::to_string(i) + ".html");
  std::string root = Page(links);
  server.server().Get("/", [root](const httplib::Request&, httplib::Response& res) { res.set_content(root, "text/html"); });
  server.server().Get(R"(/p\d+\.html)", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(Page({}), "text/html");
  });
  ASSERT_TRUE(server.Start());
  TempDir work;
  fs::path out = work.path() / "out";
  fs::create_directory(out);
  const fs::path sitemap = out / (SiteFiles(server.origin()) + "_sitemap0.xml");
  { std::ofstream old(sitemap, std::ios::binary); old << "the sitemap of an earlier run"; }
  { std::ofstream old(out / (SiteFiles(server.origin()) + "_urls.txt"), std::ios::binary); old << "old list"; }

  ChildProcess child(CommandPath(), {"--plain", "-q", "-o", "out", server.origin() + "/"}, work.path(), 1500);
  ChildResult run = child.Wait(std::chrono::seconds(60));
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exitStatus, 1) << run.err;
  EXPECT_NE(run.err.find("cannot write the sitemap file '" + sitemap.string() + "': File too large"), std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFileBytes(sitemap), "the sitemap of an earlier run");
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{SiteFiles(server.origin()) + "_failed.tsv", SiteFiles(server.origin()) + "_sitemap0.xml", SiteFiles(server.origin()) + "_urls.txt"}));
  EXPECT_EQ(SplitCrLf(ReadFileBytes(out / (SiteFiles(server.origin()) + "_urls.txt"))).size(), 31u);  // the other files are written
}

TEST(CliRunTest, GzipIsTheDefaultAndOutputFolderIsCreatedWithItsParents) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  TempDir work;
  ChildResult run = RunCommand({"-q", "--out", "deep/er/out", site.origin()}, work.path());
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  fs::path out = work.path() / "deep" / "er" / "out";
  ASSERT_TRUE(fs::is_regular_file(out / (SiteFiles(site.origin()) + "_sitemap0.xml.gz"))) << run.err;
  EXPECT_FALSE(fs::exists(out / (SiteFiles(site.origin()) + "_sitemap0.xml")));
  EXPECT_EQ(Gunzip(out / (SiteFiles(site.origin()) + "_sitemap0.xml.gz")), ExpectedSitemap(site.AllAddresses(), true));
  // No settings database was made in the working folder.
  EXPECT_FALSE(fs::exists(work.path() / "db"));
}

TEST(CliRunTest, DepthLimitsTheCrawlAndPatternsFilterTheResultsOnly) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  {
    TempDir work;
    ChildResult run = RunCommand({"-q", "-d", "0", "--plain", site.origin()}, work.path());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(work.path() / (SiteFiles(site.origin()) + "_urls.txt")), site.Address("/"));
    EXPECT_EQ(site.server().requestLog(), (std::vector<std::string>{"/"}));
    EXPECT_EQ(ReadFileBytes(work.path() / (SiteFiles(site.origin()) + "_failed.tsv")), "");
  }
  {
    TempDir work;
    ChildResult run = RunCommand({"-q", "-e", "*b.html", "--exclude", "/c*", "-i", "  html ", site.origin()},
                                 work.path());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    std::vector<std::string> lines = SplitCrLf(ReadFileBytes(work.path() / (SiteFiles(site.origin()) + "_urls.txt")));
    // The root is never excluded.
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()),
              (std::set<std::string>{site.Address("/"), site.Address("/a.html")}));
    // Left out of the results, still crawled.
    EXPECT_GE(site.server().requestCount("/b.html"), 1u);
    EXPECT_GE(site.server().requestCount("/c.html"), 1u);
  }
}

TEST(CliRunTest, ThreadOptionBoundsHowManyPagesAreFetchedAtOnce) {
  std::atomic<int> running{0};
  std::atomic<int> most{0};
  std::vector<std::string> links;
  for (int i = 0; i < 12; ++i) links.push_back("/p" + std::to_string(i) + ".html");
  std::string root = Page(links);
  // After what its handler reads, so its threads have ended before that goes.
  LoopbackServer server;
  server.server().Get(R"(/.*)", [&](const httplib::Request& req, httplib::Response& res) {
    int now = ++running;
    int seen = most.load();
    while (now > seen && !most.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    --running;
    res.set_content(req.path == "/" ? root : Page({}), "text/html");
  });
  ASSERT_TRUE(server.Start());
  TempDir work;
  ChildResult run = RunCommand({"-q", "-t", "1", server.origin()}, work.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(most.load(), 1);
  EXPECT_EQ(SplitCrLf(ReadFileBytes(work.path() / (SiteFiles(server.origin()) + "_urls.txt"))).size(), 13u);
}

TEST(CliRunTest, SettingsDatabaseGivesTheDefaultsAndIsLeftUntouched) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  TempDir work;
  fs::path dbDir = work.path() / "db" / "sitemap" / "setup";
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(dbDir.string()).ok());
    ASSERT_TRUE(db.Put("keysetupmanager_run_maxdepth", "1").ok());
    db.Close();
  }
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dbDir))
      files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    return files;
  };
  auto before = snapshot();
  const fs::path urls = work.path() / (SiteFiles(site.origin()) + "_urls.txt");
  ChildResult run = RunCommand({"-q", site.origin()}, work.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(SplitCrLf(ReadFileBytes(urls)).size(), 3u);  // depth 1 from the database: "/", a, b
  EXPECT_EQ(snapshot(), before);

  // The option wins over the database, also below the range the window takes.
  ChildResult root = RunCommand({"-q", "-d", "0", site.origin()}, work.path());
  EXPECT_EQ(root.exitStatus, 0) << root.err;
  EXPECT_EQ(ReadFileBytes(urls), site.Address("/"));
  EXPECT_EQ(snapshot(), before);
}

TEST(CliRunTest, UsageErrorsExitWithTwoBeforeAnythingIsFetched) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  TempDir work;
  std::ofstream(work.path() / "a-file") << "x";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--bogus", site.origin()}, "--bogus"},
      {{site.origin(), "-t"}, "-t"},
      {{"-d", "deep", site.origin()}, "invalid depth 'deep'"},
      {{"-t", "x1", site.origin()}, "invalid thread count 'x1'"},
      {{}, "no start address"},
      {{"   "}, "start address is empty"},
  };
  for (const auto& [args, mentioned] : cases) {
    ChildResult run = RunCommand(args, work.path());
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 2) << mentioned;
    EXPECT_NE(run.err.find(mentioned), std::string::npos) << run.err;
  }
  EXPECT_TRUE(site.server().requestLog().empty());
  EXPECT_EQ(FilesIn(work.path()), (std::vector<std::string>{"a-file"}));
}

TEST(CliRunTest, AnOutputFolderThatCannotBeMadeOrWrittenExitsWithOneBeforeAnythingIsFetched) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  TempDir work;
  std::ofstream(work.path() / "a-file") << "x";
  // Root writes into a folder whatever its mode says; /proc refuses everyone.
  const bool root = geteuid() == 0;
  const fs::path readOnly = root ? fs::path("/proc/veltro-no-such-folder") : work.path() / "read-only";
  if (!root) {
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  }
  for (const std::string& folder : {std::string("a-file"), std::string("a-file/below"), readOnly.string()}) {
    ChildResult run = RunCommand({"-o", folder, site.origin()}, work.path());
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 1) << folder;  // the files could not be written
    EXPECT_NE(run.err.find(folder.substr(0, 6)), std::string::npos) << run.err;
  }
  if (!root) fs::permissions(readOnly, fs::perms::owner_all);
  EXPECT_TRUE(site.server().requestLog().empty());
}

TEST(CliRunTest, AddressWithoutAHostExitsWithThreeAndTheWindowsMessage) {
  TempDir work;
  ChildResult run = RunCommand({"-o", "out", "http://[::1/"}, work.path());  // an unclosed bracket
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_NE(run.err.find("不是一个合法的网址，请输入一个网址"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(work.path() / "out"));
}

TEST(CliRunTest, HelpPrintsTheUsageAndExitsWithZero) {
  TempDir work;
  ChildResult run = RunCommand({"--help"}, work.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_NE(run.out.find("Usage: veltro-sitemap-cli"), std::string::npos);
  // The patterns choose the results, not the pages fetched.
  EXPECT_NE(run.out.find("an address left out is still fetched, and its links followed"), std::string::npos);
  EXPECT_TRUE(FilesIn(work.path()).empty());
}

TEST(CliRunTest, ProgressGoesToStandardErrorOneLinePerUpdateWhenNotATerminal) {
  SmallSite site;
  ASSERT_TRUE(site.started());
  TempDir work;
  ChildResult run = RunCommand({site.origin()}, work.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.find('\r'), std::string::npos);
  // The last status line, refreshed once more when the crawl has ended: root, a, b, c and
  // the missing page crawled, the forbidden type refused.
  EXPECT_NE(run.err.find("共找到6条网址 正在爬0条 爬过5条 等待爬的0条 不允许爬的1条 排除掉0条\n"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("已运行0小时0分钟"), std::string::npos) << run.err;
}

TEST(CliRunTest, CtrlCStopsTheCrawlWritesTheFilesAndExitsWith130) {
  // A site far too big to finish: every page is slow and links to ten new ones.
  LoopbackServer server;
  server.server().Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::vector<std::string> links;
    for (int i = 0; i < 10; ++i) links.push_back(req.path == "/" ? "/n" + std::to_string(i) : req.path + "/" + std::to_string(i));
    res.set_content(Page(links), "text/html");
  });
  ASSERT_TRUE(server.Start());
  TempDir work;
  ChildProcess child(CommandPath(), {"-t", "2", "-d", "50", "--plain", server.origin()}, work.path());
  ASSERT_TRUE(child.started());
  // Interrupt once the crawl has fetched a few pages. Requests are logged on arrival, and the
  // two pages still being fetched when the stop comes are ended, not finished.
  for (int i = 0; i < 2000 && server.requestLog().size() < 7; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GE(server.requestLog().size(), 7u);
  child.Signal(SIGINT);
  ChildResult run = child.Wait(std::chrono::seconds(60));
  ASSERT_TRUE(run.exited) << "signal " << run.signal << " timed out " << run.timedOut;
  EXPECT_EQ(run.exitStatus, 130) << run.err;

  std::vector<std::string> lines = SplitCrLf(ReadFileBytes(work.path() / (SiteFiles(server.origin()) + "_urls.txt")));
  EXPECT_GE(lines.size(), 4u);
  size_t requested = server.requestLog().size();
  EXPECT_LE(lines.size(), requested);
  for (const std::string& line : lines) EXPECT_EQ(line.rfind(server.origin() + "/", 0), 0u) << line;
  std::string sitemap = ReadFileBytes(work.path() / (SiteFiles(server.origin()) + "_sitemap0.xml"));
  EXPECT_NE(sitemap.find("<loc>" + server.origin() + "/</loc>"), std::string::npos);
  EXPECT_TRUE(fs::exists(work.path() / (SiteFiles(server.origin()) + "_failed.tsv")));
  // The crawl stopped: nothing more is asked for after the end.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(server.requestLog().size(), requested);
}
