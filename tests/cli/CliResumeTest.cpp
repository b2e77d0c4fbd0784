// --resume: the command goes on with a crawl that was interrupted or killed.
#include <gtest/gtest.h>
#include <signal.h>

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
