// --resume: the command goes on with a crawl that was interrupted or killed.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "ChildProcess.h"
#include "crawl/CrawlJournal.h"
#include "support/LoopbackServer.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A tree of count pages, each a little slow so a crawl can be cut at chosen points: "/" links
// to /p/1../p/10, /p/N to /p/10N+1../p/10N+10.
void ServeTree(LoopbackServer& server, int count) {
  server.server().Get(R"(/.*)", [count](const httplib::Request& req, httplib::Response& res) {
    long id = 0;
    if (req.path != "/") {
      id = req.path.rfind("/p/", 0) == 0 ? std::atol(req.path.c_str() + 3) : 0;
      if (id <= 0 || id >= count) {
        res.status = 404;
        return;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::string html = "<html><body>";
    for (long child = id * 10 + 1; child <= id * 10 + 10 && child < count; ++child)
      html += "<a href=\"/p/" + std::to_string(child) + "\">x</a>";
    res.set_content(html + "</body></html>", "text/html");
  });
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

size_t CountOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

// The command's files hold every page of the tree exactly once.
void ExpectEveryPageOnce(const fs::path& dir, const std::string& origin, int count) {
  std::vector<std::string> lines = Lines(ReadFileBytes(dir / (SiteFiles(origin) + "_urls.txt")));
  EXPECT_EQ(lines.size(), static_cast<size_t>(count));
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), static_cast<size_t>(count));
  EXPECT_EQ(CountOf(ReadFileBytes(dir / (SiteFiles(origin) + "_sitemap0.xml")), "<loc>"), static_cast<size_t>(count));
}

// Starts the command, and once the server has seen `requests` requests sends sig.
ChildResult RunAndSignal(const std::vector<std::string>& args, const fs::path& work, LoopbackServer& server,
                         size_t requests, int sig) {
  ChildProcess child(CommandPath(), args, work);
  EXPECT_TRUE(child.started());
  for (int i = 0; i < 6000 && server.requestLog().size() < requests; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  child.Signal(sig);
  return child.Wait(std::chrono::seconds(60));
}


// A site of 2,743 tree pages at depths 0 to 4 with every kind of sitemap content: "/" links to
// /p/1../p/6, /p/X to /p/X-1../p/X-8 (depth 1 and 2) or /p/X-1../p/X-6 (depth 3). Pages whose
// last number is even name language alternates. Canonicals: a depth-4 page ending in 2 names
// its sibling ending in 1, a depth-4 page ending in 3 names itself, a depth-3 page ending in 5
// names /c/X, reached by that canonical only. Broken links: /missing.html, linked from "/" and
// every depth-2 page, and /gone/X from each depth-3 page ending in 1.
void ServeContentSite(LoopbackServer& server) {
  server.server().Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
    const std::string& path = req.path;
    std::vector<int> numbers;
    bool canonicalOnly = false;
    if (path.rfind("/p/", 0) == 0 || path.rfind("/c/", 0) == 0) {
      canonicalOnly = path[1] == 'c';
      const std::string rest = path.substr(3);
      for (size_t at = 0; at <= rest.size();) {
        size_t dash = rest.find('-', at);
        if (dash == std::string::npos) dash = rest.size();
        const int n = std::atoi(rest.substr(at, dash - at).c_str());
        numbers.push_back(n);
        at = dash + 1;
      }
    } else if (path != "/") {
      res.status = 404;
      res.set_content("<html><body>missing</body></html>", "text/html");
      return;
    }
    const size_t depth = numbers.size();
    static const int kFanout[] = {6, 8, 8, 6};
    bool valid = depth <= 4 && (!canonicalOnly || depth == 3);
    for (size_t i = 0; i < depth && valid; ++i) valid = numbers[i] >= 1 && numbers[i] <= kFanout[i];
    if (!valid) {
      res.status = 404;
      res.set_content("<html><body>missing</body></html>", "text/html");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const int last = depth > 0 ? numbers.back() : 0;
    std::string head;
    if (!canonicalOnly && depth == 4 && last == 2) head += "<link rel=\"canonical\" href=\"" + path.substr(0, path.size() - 1) + "1\">";
    if (!canonicalOnly && depth == 4 && last == 3) head += "<link rel=\"canonical\" href=\"" + path + "\">";
    if (!canonicalOnly && depth == 3 && last == 5) head += "<link rel=\"canonical\" href=\"/c/" + path.substr(3) + "\">";
    if (last % 2 == 0 && depth > 0) {
      head += "<link rel=\"alternate\" hreflang=\"en\" href=\"" + path + "\">"
              "<link rel=\"alternate\" hreflang=\"de\" href=\"/de" + path + "\">"
              "<link rel=\"alternate\" hreflang=\"fr\" href=\"http://127.0.0.2:9/fr" + path + "\">";
    }
    std::string body;
    if (!canonicalOnly && depth < 4) {
      const std::string stem = depth == 0 ? "/p/" : path + "-";
      for (int k = 1; k <= kFanout[depth]; ++k) body += "<a href=\"" + stem + std::to_string(k) + "\">x</a>";
    }
    if (depth == 0 || (depth == 2 && !canonicalOnly)) body += "<a href=\"/missing.html\">m</a>";
    if (depth == 3 && last == 1 && !canonicalOnly) body += "<a href=\"/gone/" + path.substr(3) + "\">g</a>";
    body += "<a href=\"/\">home</a>";
    res.set_content("<html><head><title>t</title>" + head + "</head><body>" + body + "</body></html>", "text/html");
  });
}

// What a crawl wrote, each file in an order of its own: the sitemap documents' <url> entries
// sorted (with each document's text around them), the URL list's and the failure file's lines
// sorted.
struct WrittenFiles {
  std::vector<std::string> entries;
  std::vector<std::string> frames;  // each sitemap file's name and text without its entries
  std::vector<std::string> urls;
  std::vector<std::string> failures;
};

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

WrittenFiles ReadWritten(const fs::path& dir, const std::string& origin) {
  WrittenFiles files;
  const std::string site = SiteFiles(origin);
  std::vector<fs::path> sitemaps;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(site + "_sitemap", 0) == 0) sitemaps.push_back(entry.path());
  }
  std::sort(sitemaps.begin(), sitemaps.end());
  for (const fs::path& file : sitemaps) {
    const std::string text = ReadFileBytes(file);
    std::string frame = file.filename().string() + "\n";
    size_t at = 0;
    for (size_t open = text.find("<url>"); open != std::string::npos; open = text.find("<url>", at)) {
      const size_t close = text.find("</url>", open);
      if (close == std::string::npos) break;
      frame += text.substr(at, open - at);
      files.entries.push_back(text.substr(open, close + 6 - open));
      at = close + 6;
    }
    frame += text.substr(at);
    files.frames.push_back(frame);
  }
  std::sort(files.entries.begin(), files.entries.end());
  files.urls = SortedLines(ReadFileBytes(dir / (site + "_urls.txt")));
  files.failures = SortedLines(ReadFileBytes(dir / (site + "_failed.tsv")));
  return files;
}

// How many items one sorted list holds that the other does not, either way.
size_t Differing(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> diff;
  std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(diff));
  return diff.size();
}
}  // namespace

TEST(CliResumeTest, KilledAtSeveralPointsTheCommandGoesOnWithResumeToEveryPageOnce) {
  constexpr int kPages = 3000;
  LoopbackServer server;
  ServeTree(server, kPages);
  ASSERT_TRUE(server.Start());
  TempDir work;
  const std::vector<std::string> args = {"-t", "4", "-d", "10", "--plain", "-q", server.origin()};
  std::vector<std::string> resume = args;
  resume.insert(resume.begin(), "--resume");

  // Killed early (before a batch), mid-way and late; a kill leaves no chance to flush.
  for (size_t at : {30u, 1000u, 2000u}) {
    ChildResult killed = RunAndSignal(at == 30 ? args : resume, work.path(), server, at, SIGKILL);
    ASSERT_FALSE(killed.exited) << killed.err;
    EXPECT_EQ(killed.signal, SIGKILL);
  }
  ASSERT_TRUE(fs::exists(work.path() / CrawlJournal::FolderName(server.origin())));
  ChildResult last = RunCommand(resume, work.path());
  ASSERT_TRUE(last.exited);
  EXPECT_EQ(last.exitStatus, 0) << last.err;
  EXPECT_NE(last.err.find("going on with the unfinished crawl"), std::string::npos) << last.err;
  ExpectEveryPageOnce(work.path(), server.origin(), kPages);
  // Only what the kills cut off is fetched again, far from a crawl from the start.
  std::map<std::string, int> fetched;
  for (const auto& entry : server.requestLog()) ++fetched[entry];
  EXPECT_EQ(fetched.size(), static_cast<size_t>(kPages));
  EXPECT_LT(server.requestLog().size(), static_cast<size_t>(kPages) * 3 / 2);
  EXPECT_FALSE(fs::exists(work.path() / CrawlJournal::FolderName(server.origin())));
}

TEST(CliResumeTest, CtrlCKeepsTheJournalAPlainRunReplacesItAndADamagedOneIsRefusedOnStandardError) {
  constexpr int kPages = 1500;
  LoopbackServer server;
  ServeTree(server, kPages);
  ASSERT_TRUE(server.Start());
  TempDir work;
  const fs::path journal = work.path() / CrawlJournal::FolderName(server.origin());
  const std::vector<std::string> args = {"-t", "2", "-d", "10", "--plain", server.origin()};
  std::vector<std::string> resume = args;
  resume.insert(resume.begin(), "--resume");

  ChildResult interrupted = RunAndSignal(args, work.path(), server, 200, SIGINT);
  ASSERT_TRUE(interrupted.exited);
  EXPECT_EQ(interrupted.exitStatus, 130);
  EXPECT_NE(interrupted.err.find("journal is kept"), std::string::npos) << interrupted.err;
  EXPECT_EQ(CrawlJournal::Inspect(journal.string(), server.origin()).status, JournalSummary::Status::Unfinished);

  // Garbage in place of the database: refused, said, and the crawl starts afresh.
  for (const auto& entry : fs::directory_iterator(journal)) {
    std::ofstream garbage(entry.path(), std::ios::binary | std::ios::trunc);
    garbage << "\x13\x37 garbage \xff";
  }
  ChildResult damaged = RunAndSignal(resume, work.path(), server, server.requestLog().size() + 200, SIGINT);
  ASSERT_TRUE(damaged.exited);
  EXPECT_NE(damaged.err.find("the journal is damaged"), std::string::npos) << damaged.err;

  // Without --resume an unfinished journal is replaced, and the command says so.
  const size_t before = server.requestLog().size();
  ChildResult plain = RunCommand(args, work.path());
  ASSERT_TRUE(plain.exited);
  EXPECT_EQ(plain.exitStatus, 0) << plain.err;
  EXPECT_NE(plain.err.find("is replaced by a new one"), std::string::npos) << plain.err;
  EXPECT_EQ(server.requestLog().size() - before, static_cast<size_t>(kPages));
  ExpectEveryPageOnce(work.path(), server.origin(), kPages);
  EXPECT_FALSE(fs::exists(journal));
}

TEST(CliResumeTest, KilledInterruptedAndResumedTheCommandWritesWhatAnUnbrokenCrawlWrites) {
  LoopbackServer server(8);
  ServeContentSite(server);
  ASSERT_TRUE(server.Start());
  const std::vector<std::string> args = {"-t", "4", "-d", "10", "--plain", "-q", "--canonical", "--hreflang",
                                         "--changefreq", "weekly", "--priority", "1.0,0.8,0.6,0.4", "--index",
                                         server.origin()};
  std::vector<std::string> resume = args;
  resume.insert(resume.begin(), "--resume");

  TempDir unbrokenDir;
  ChildResult unbroken = RunCommand(args, unbrokenDir.path());
  ASSERT_TRUE(unbroken.exited);
  ASSERT_EQ(unbroken.exitStatus, 0) << unbroken.err;
  const size_t pages = server.requestLog().size();
  const WrittenFiles expected = ReadWritten(unbrokenDir.path(), server.origin());
  // The site as described: canonicals leave 432 pages out, 48 come in by their canonical only.
  ASSERT_EQ(expected.urls.size(), 2791u);
  ASSERT_EQ(expected.entries.size(), 2359u);
  ASSERT_EQ(expected.failures.size(), 49u);
  EXPECT_NE(expected.entries.front().find("<changefreq>weekly</changefreq>"), std::string::npos);

  // Killed at a quarter, interrupted at a half, killed at three quarters; then to the end.
  TempDir work;
  const struct {
    size_t quarter;
    int sig;
  } cuts[] = {{1, SIGKILL}, {2, SIGINT}, {3, SIGKILL}};
  for (const auto& cut : cuts) {
    ChildResult cutShort = RunAndSignal(cut.quarter == 1 ? args : resume, work.path(), server,
                                        pages + pages * cut.quarter / 4, cut.sig);
    if (cut.sig == SIGKILL) {
      ASSERT_FALSE(cutShort.exited) << cutShort.err;
    } else {
      ASSERT_TRUE(cutShort.exited) << cutShort.err;
      EXPECT_EQ(cutShort.exitStatus, 130) << cutShort.err;
    }
    ASSERT_EQ(CrawlJournal::Inspect((work.path() / CrawlJournal::FolderName(server.origin())).string(),
                                    server.origin())
                  .status,
              JournalSummary::Status::Unfinished)
        << cut.quarter;
  }
  ChildResult last = RunCommand(resume, work.path());
  ASSERT_TRUE(last.exited);
  ASSERT_EQ(last.exitStatus, 0) << last.err;
  const WrittenFiles resumed = ReadWritten(work.path(), server.origin());

  const size_t differing = Differing(expected.entries, resumed.entries) + Differing(expected.urls, resumed.urls) +
                           Differing(expected.failures, resumed.failures);
  std::printf("[ resume   ] sitemap entries unbroken %zu, resumed %zu; URL list %zu / %zu; failures %zu / %zu; "
              "%zu differing; pages requested %zu unbroken, %zu over the four resumed runs\n",
              expected.entries.size(), resumed.entries.size(), expected.urls.size(), resumed.urls.size(),
              expected.failures.size(), resumed.failures.size(), differing, pages,
              server.requestLog().size() - pages);
  EXPECT_EQ(differing, 0u);
  EXPECT_EQ(resumed.entries, expected.entries);
  EXPECT_EQ(resumed.frames, expected.frames);
  EXPECT_EQ(resumed.urls, expected.urls);
  EXPECT_EQ(resumed.failures, expected.failures);
}

TEST(CliResumeTest, AResumedCrawlKeepsItsUrlRulesAndCountsThePagesItHasTowardsItsLimit) {
  // The tree of ServeTree, but every link carries a fresh session id.
  constexpr int kPages = 1500;
  constexpr int kLimit = 1000;
  LoopbackServer server;
  auto fresh = std::make_shared<std::atomic<long>>(0);
  server.server().Get(R"(/.*)", [fresh](const httplib::Request& req, httplib::Response& res) {
    const long id = req.path == "/" ? 0 : std::atol(req.path.c_str() + 3);
    if (req.path != "/" && (req.path.rfind("/p/", 0) != 0 || id <= 0 || id >= kPages)) {
      res.status = 404;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::string html = "<html><body><a href=\"/?sid=" + std::to_string(++*fresh) + "\">home</a>";
    for (long child = id * 10 + 1; child <= id * 10 + 10 && child < kPages; ++child)
      html += "<a href=\"/p/" + std::to_string(child) + "?sid=" + std::to_string(++*fresh) + "\">x</a>";
    res.set_content(html + "</body></html>", "text/html");
  });
  ASSERT_TRUE(server.Start());
  TempDir work;
  ChildResult killed = RunAndSignal({"-t", "4", "-d", "10", "--plain", "-q", "--remove-param", "sid", "--max-pages",
                                     std::to_string(kLimit), server.origin()},
                                    work.path(), server, 300, SIGKILL);
  ASSERT_FALSE(killed.exited) << killed.err;
  // Given no rule now, the resumed crawl goes on with those it was started with.
  ChildResult resumed = RunCommand({"--resume", "-t", "4", "-d", "10", "--plain", "-q", server.origin()}, work.path());
  ASSERT_TRUE(resumed.exited);
  EXPECT_EQ(resumed.exitStatus, 0) << resumed.err;
  EXPECT_NE(resumed.err.find("page limit reached (1000)"), std::string::npos) << resumed.err;
  const std::vector<std::string> urls = Lines(ReadFileBytes(work.path() / (SiteFiles(server.origin()) + "_urls.txt")));
  EXPECT_EQ(urls.size(), static_cast<size_t>(kLimit));
  EXPECT_EQ(std::set<std::string>(urls.begin(), urls.end()).size(), urls.size());
  for (const std::string& url : urls) EXPECT_EQ(url.find("sid"), std::string::npos) << url;
  std::set<std::string> fetched;
  for (const std::string& target : server.requestLog()) {
    EXPECT_EQ(target.find("sid"), std::string::npos) << target;
    fetched.insert(target);
  }
  // Only what the kill cut off is fetched twice.
  EXPECT_LT(server.requestLog().size(), static_cast<size_t>(kLimit) + 300);
  EXPECT_GE(fetched.size(), static_cast<size_t>(kLimit));
}

// A journal that cannot be begun (a plain file where its folder goes) is said on stderr with
// leveldb's words; the crawl still runs to its end and writes its files.
TEST(CliResumeTest, AJournalThatCannotBeBegunIsSaidAndTheCrawlStillWritesEveryPage) {
  constexpr int kPages = 40;
  LoopbackServer server;
  ServeTree(server, kPages);
  ASSERT_TRUE(server.Start());
  TempDir work;
  const fs::path journal = work.path() / CrawlJournal::FolderName(server.origin());
  std::ofstream(journal) << "not a journal";
  ChildResult run = RunCommand({"-t", "2", "-d", "10", "--plain", server.origin()}, work.path());
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const size_t said = run.err.find("cannot keep the journal '");
  EXPECT_NE(run.err.find(journal.filename().string() + "' (IO error: ", said), std::string::npos) << run.err;
  EXPECT_NE(said, std::string::npos) << run.err;
  EXPECT_NE(run.err.find("if it is cut off it cannot be resumed", said), std::string::npos) << run.err;
  ExpectEveryPageOnce(work.path(), server.origin(), kPages);
  EXPECT_EQ(ReadFileBytes(journal), "not a journal");
}
