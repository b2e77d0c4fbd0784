#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for. Texts are as typed: UTF-8, as the engine takes them.
struct CliOptions {
  std::vector<std::string> urls;  // one crawl each, side by side
  std::vector<std::string> includePatterns;
  std::vector<std::string> excludePatterns;
  std::string outDir = ".";
  bool plain = false;
  bool quiet = false;
  bool resume = false;   // --resume: go on with the unfinished crawl's journal
  bool journal = true;   // --no-journal: keep none (nothing to resume)
  bool changesOnly = false;  // --changes-only: also a sitemap of the new and changed pages alone
  // The settings given as options (the settings table's options): key -> the value as the
  // settings database stores it. Each one absent is the desktop program's setting. Switches
  // only switch a setting on.
  std::map<std::string, std::string> settings;

  // The value given for a setting's key; nullopt when the option was not given.
  std::optional<std::string> Setting(const std::string& key) const;
};

enum class CliParseStatus { Run, Help, UsageError };

struct CliParseOutcome {
  CliParseStatus status = CliParseStatus::UsageError;
  CliOptions options;
  std::string message;  // the problem, for a usage error
};

// Reads the arguments after the program name. Pure: no file or network access.
CliParseOutcome ParseCliOptions(const std::vector<std::string>& args);

class CSetupManager;
// The settings given as options, set over setup (which holds the desktop program's).
void ApplySettingOptions(const CliOptions& options, CSetupManager& setup);

// The text printed for --help.
std::string CliUsageText();
