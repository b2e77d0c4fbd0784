#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "ChildProcess.h"
#include "support/HostileSite.h"
#include "support/RawHttpSite.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// g++ says which sanitizer a build has by macros, clang by __has_feature.
#if defined(__has_feature)
#define VELTRO_HAS_FEATURE(name) __has_feature(name)
#else
#define VELTRO_HAS_FEATURE(name) 0
#endif
#if defined(__SANITIZE_THREAD__) || VELTRO_HAS_FEATURE(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#if defined(__SANITIZE_ADDRESS__) || VELTRO_HAS_FEATURE(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// A sanitized build's shadow memory and quarantine inflate the command several times over:
// the memory bounds are the real build's. The figures are printed either way.
constexpr bool kMemoryBounds = !kThreadSanitizer && !kAddressSanitizer;

using Clock = std::chrono::steady_clock;

// What the command wrote: the listed addresses and the failures (path to code).
struct CliOutput {
  std::set<std::string> listed;
  std::map<std::string, std::string> failures;
};

CliOutput ReadOutput(const fs::path& dir, const std::string& origin) {
  CliOutput out;
  const std::string urls = ReadFileBytes(dir / (SiteFiles(origin) + "_urls.txt"));
  for (size_t start = 0; start < urls.size();) {
    size_t end = urls.find("\r\n", start);
    if (end == std::string::npos) end = urls.size();
    out.listed.insert(urls.substr(start, end - start));
    start = end + 2;
  }
  std::istringstream failed(ReadFileBytes(dir / (SiteFiles(origin) + "_failed.tsv")));
  std::string line;
  while (std::getline(failed, line)) {
    const size_t tab = line.find('\t');
    const size_t next = line.find('\t', tab + 1);
    if (tab != std::string::npos) out.failures[line.substr(0, tab)] = line.substr(tab + 1, next - tab - 1);
  }
  return out;
}

// The last status line the command printed (once more after the crawl has ended).
std::string LastCountersLine(const std::string& err) {
  const size_t at = err.rfind("共找到");
  return at == std::string::npos ? std::string() : err.substr(at, err.find('\n', at) - at);
}

double Mib(long kib) { return static_cast<double>(kib) / 1024.0; }

TEST(CliHostileSiteTest, EveryHostilePageEndsWithinTheTimeOutsAndTheRestOfTheSiteIsCrawled) {
  RawHttpSite site;
  const HostileSitePlan plan = FillHostileSite(site);
  ASSERT_TRUE(site.Start());
  TempDir work;
  const auto started = Clock::now();
  ChildProcess child(CommandPath(), {"-d", std::to_string(kHostileMaxDepth), "-t", "8", "--plain", "-o", "out",
                                     site.origin() + "/"},
                     work.path());
  ChildResult run = child.Wait(std::chrono::seconds(90));
  const auto took = Clock::now() - started;
  ASSERT_TRUE(run.exited) << "signal " << run.signal << " timed out " << run.timedOut << "\n" << run.err.substr(0, 2000);
  EXPECT_EQ(run.exitStatus, 0) << run.err.substr(0, 2000);
  // The slowest page ends at the client's total time-out of 10 s; everything else runs beside it.
  EXPECT_LT(took, std::chrono::seconds(30));
  std::cout << "[ figures  ] hostile site: " << std::chrono::duration<double>(took).count() << " s, peak "
            << Mib(run.peakRssKb) << " MiB\n";

  const CliOutput out = ReadOutput(work.path() / "out", site.origin());
  for (const std::string& path : plan.successes) {
    EXPECT_EQ(out.listed.count(site.origin() + path), 1u) << path.substr(0, 80);
    EXPECT_EQ(site.count(path), 1u) << path.substr(0, 80);
  }
  for (const std::string& path : plan.anyOutcome) {
    const bool listed = out.listed.count(site.origin() + path) == 1;
    auto failure = out.failures.find(path);
    EXPECT_TRUE(listed != (failure != out.failures.end())) << path;
    if (failure != out.failures.end()) {
      EXPECT_FALSE(failure->second.empty()) << path;
    }
    EXPECT_EQ(site.count(path), 1u) << path;
  }
  for (const std::string& path : plan.timedOut) {
    EXPECT_EQ(out.listed.count(site.origin() + path), 0u) << path;
    const auto failure = out.failures.find(path);
    EXPECT_TRUE(failure != out.failures.end() && failure->second == "curl 28") << path;
  }
  for (const std::string& path : plan.unreached) EXPECT_EQ(site.count(path), 0u) << path;
  for (const auto& [path, code] : out.failures) std::cout << "[ figures  ] " << path << " failed with " << code << "\n";
  EXPECT_EQ(out.listed.size(),
            plan.successes.size() + plan.anyOutcome.size() + plan.timedOut.size() - out.failures.size());
  EXPECT_EQ(site.count("/deep/many/0.html"), 0u);
  // The 10,000 links were all met and counted as too deep; nothing was left running or waiting.
  const std::string counters = LastCountersLine(run.err);
  EXPECT_NE(counters.find("正在爬0条"), std::string::npos) << counters;
  EXPECT_NE(counters.find("等待爬的0条"), std::string::npos) << counters;
  EXPECT_NE(counters.find("不允许爬的10000条"), std::string::npos) << counters;
  // The 100 KB addresses are fetched and listed whole, but a sitemap may hold none longer than
  // 2,048 characters: they are left out of it, and the command says so.
  const std::string sitemap = ReadFileBytes(work.path() / "out" / (SiteFiles(site.origin()) + "_sitemap0.xml"));
  const std::string urls = ReadFileBytes(work.path() / "out" / (SiteFiles(site.origin()) + "_urls.txt"));
  for (const std::string& path : plan.longLinks) {
    EXPECT_EQ(sitemap.find(path), std::string::npos);
    EXPECT_NE(urls.find(site.origin() + path), std::string::npos);
  }
  EXPECT_NE(run.err.find("3 pages left out of the sitemap: the address is longer than 2048 characters"),
            std::string::npos) << run.err;
}

// One crawl of a root page linking to pages answered by pages; the command's peak memory.
struct MemoryRun {
  ChildResult run;
  double seconds = 0;
  CliOutput out;
};

MemoryRun CrawlForMemory(RawHttpSite& site, const std::vector<std::string>& paths, int threads,
                         const std::vector<std::string>& options = {}) {
  std::string root = "<html><body>";
  for (const std::string& path : paths) root += "<p><a href=\"" + path + "\">x</a></p>";
  site.Route("/", FixedAnswer(200, "text/html", root + "</body></html>"));
  MemoryRun result;
  if (!site.Start()) return result;
  TempDir work;
  const auto started = Clock::now();
  std::vector<std::string> args = {"-q", "-d", "2", "-t", std::to_string(threads), "--plain"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(site.origin() + "/");
  ChildProcess child(CommandPath(), args, work.path());
  result.run = child.Wait(std::chrono::seconds(120));
  result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  result.out = ReadOutput(work.path(), site.origin());
  return result;
}

// Tidy's tree alone takes about ten times the text it holds; the crawl must not.
TEST(CliHostileSiteTest, APageOfEightOrEightyMiBNeedsASmallMultipleOfItsSize) {
  for (size_t length : {kEightMiB, 10 * kEightMiB}) {
    RawHttpSite site;
    site.Route("/big.html", HugeHtmlPage(length, "/after.html"));
    site.Route("/after.html", FixedAnswer(200, "text/html", "<html><body>after</body></html>"));
    MemoryRun m = CrawlForMemory(site, {"/big.html"}, 2);
    ASSERT_TRUE(m.run.exited && m.run.exitStatus == 0) << m.run.err;
    EXPECT_EQ(m.out.listed, (std::set<std::string>{site.origin() + "/", site.origin() + "/big.html",
                                                   site.origin() + "/after.html"}));
    std::cout << "[ figures  ] one page of " << (length >> 20) << " MiB: peak " << Mib(m.run.peakRssKb) << " MiB, "
              << m.seconds << " s\n";
    // What arrives of any page is at most 8 MiB.
    if (kMemoryBounds) EXPECT_LT(m.run.peakRssKb, 64 * 1024);
  }
}

TEST(CliHostileSiteTest, SixtyFourWorkersOnEightMiBPagesStayFarBelowAGigabyte) {
  RawHttpSite site;
  std::vector<std::string> paths;
  for (int i = 0; i < 64; ++i) {
    paths.push_back("/big/" + std::to_string(i) + ".html");
    site.Route(paths.back(), HugeHtmlPage(kEightMiB, "/", 600));
  }
  // ThreadSanitizer makes every receive and parse many times slower: the pages then take
  // longer than the 10 s a page may take by default, their wait at the large-page gate
  // included, and all fail. There each is given 60 s, so the run still checks that all arrive.
  MemoryRun m = CrawlForMemory(site, paths, 64, kThreadSanitizer ? std::vector<std::string>{"--timeout", "60"}
                                                                  : std::vector<std::string>{});
  ASSERT_TRUE(m.run.exited && m.run.exitStatus == 0) << m.run.err;
  EXPECT_EQ(m.out.listed.size(), 65u);
  EXPECT_TRUE(m.out.failures.empty());
  for (const auto& [path, code] : m.out.failures) std::cout << "[ figures  ] " << path << " failed with " << code << "\n";
  std::cout << "[ figures  ] 64 workers on 64 pages of 8 MiB: peak " << Mib(m.run.peakRssKb) << " MiB, " << m.seconds
            << " s\n";
  // 64 pages of 8 MiB arrive at once: 512 MiB of them is the least any crawler holds.
  if (kMemoryBounds) EXPECT_LT(m.run.peakRssKb, 900 * 1024);
}

}  // namespace
