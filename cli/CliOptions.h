#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Texts are as typed (UTF-8 on this platform); they are
// converted to the ANSI code page only where the engine takes them.
struct CliOptions {
  std::string url;
  std::optional<int32_t> depth;    // absent: the settings value
  std::optional<int32_t> threads;  // absent: the settings value
  std::vector<std::string> includePatterns;
  std::vector<std::string> excludePatterns;
  std::string outDir = ".";
  bool plain = false;
  bool quiet = false;
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

// Reads the arguments after the program name. Pure: no file or network access.
CliParseOutcome ParseCliOptions(const std::vector<std::string>& args);

// The text printed for --help.
std::string CliUsageText();
