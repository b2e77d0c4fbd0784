#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Texts are as typed: UTF-8, as the engine takes them.
struct CliOptions {
  std::vector<std::string> urls;  // one crawl each, side by side
  std::optional<int32_t> depth;    // absent: the settings value
  std::optional<int32_t> threads;  // absent: the settings value
  std::vector<std::string> includePatterns;
  std::vector<std::string> excludePatterns;
  std::string outDir = ".";
  bool plain = false;
  bool quiet = false;
  // Crawl rules; each absent one is the settings value. The options only switch rules on.
  std::optional<bool> obeyRobots;         // --robots: robots.txt, meta robots, rel="nofollow"
  std::optional<int32_t> delayMs;         // --delay MS: least time between two requests
  std::optional<std::string> userAgent;   // --user-agent TEXT ("" sends none)
  std::optional<bool> lastmodFromHeader;  // --lastmod: lastmod from Last-Modified
  std::optional<bool> renderScripts;      // --render: pages rendered in headless Chromium
  std::optional<bool> sitemapIndex;       // --index: an index beside several sitemap files
  bool resume = false;                    // --resume: go on with the unfinished crawl's journal
  bool journal = true;                    // --no-journal: keep none (nothing to resume)
  // Sitemap content; each absent one is the settings value.
  std::optional<bool> canonicalOnly;       // --canonical: pages naming another canonical address left out
  std::optional<bool> languageAlternates;  // --hreflang: language alternates written
  std::optional<std::string> changefreq;   // --changefreq WORD|none, as ParseChangefreq reads it ("" none)
  std::optional<std::vector<std::string>> priorities;  // --priority LIST|none (empty: none)
};

enum class CliParseStatus { Run, Help, UsageError };

struct CliParseOutcome {
  CliParseStatus status = CliParseStatus::UsageError;
  CliOptions options;
  std::string message;  // the problem, for a usage error
};

// The largest thread count accepted on the command line: one thread is started per
// address of a batch, so a huge count would only exhaust the process.
inline constexpr int32_t kMaxCliThreads = 256;
// The longest --delay (one minute, as on the settings page) and --user-agent (bytes).
inline constexpr int32_t kMaxCliDelayMs = 60000;
inline constexpr size_t kMaxCliUserAgentBytes = 256;

// Reads the arguments after the program name. Pure: no file or network access.
CliParseOutcome ParseCliOptions(const std::vector<std::string>& args);

// The text printed for --help.
std::string CliUsageText();
