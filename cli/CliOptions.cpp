#include "cli/CliOptions.h"

#include <algorithm>
#include <limits>

#include "common/DecimalNumber.h"
#include "settings/SettingsTable.h"

namespace {

enum class OptionKind { Include, Exclude, Out, Plain, Quiet, Help, Resume, NoJournal, ChangesOnly, Setting };

// An option of the command; a setting's option points at its row of the settings table.
struct OptionName {
  const char* shortName;
  const char* longName;
  OptionKind kind;
  bool takesValue;
  const SettingRow* setting = nullptr;
};

constexpr OptionName kCommandOptions[] = {
    {"-i", "--include", OptionKind::Include, true}, {"-e", "--exclude", OptionKind::Exclude, true},
    {"-o", "--out", OptionKind::Out, true},         {nullptr, "--plain", OptionKind::Plain, false},
    {"-q", "--quiet", OptionKind::Quiet, false},    {"-h", "--help", OptionKind::Help, false},
    {nullptr, "--resume", OptionKind::Resume, false}, {nullptr, "--no-journal", OptionKind::NoJournal, false},
    {nullptr, "--changes-only", OptionKind::ChangesOnly, false},
};

std::optional<OptionName> FindOption(const std::string& name) {
  for (const auto& option : kCommandOptions) {
    if ((option.shortName && name == option.shortName) || name == option.longName) return option;
  }
  for (const SettingRow& row : SettingsTable()) {
    const SettingOption& o = row.option;
    if (o.name && (name == o.name || (o.shortName && name == o.shortName)))
      return OptionName{o.shortName, o.name, OptionKind::Setting, o.valueName != nullptr, &row};
  }
  return std::nullopt;
}

// Decimal digits only (an optional leading '+'), within [low, high].
bool ParseBoundedInt(const std::string& text, int64_t low, int64_t high, int32_t& value) {
  const std::string_view digits = std::string_view(text).substr(!text.empty() && text[0] == '+' ? 1 : 0);
  const std::optional<uint64_t> number = high < 0 ? std::nullopt : ParseDecimal(digits, static_cast<uint64_t>(high));
  if (!number || static_cast<int64_t>(*number) < low) return false;
  value = static_cast<int32_t>(*number);
  return true;
}

// A text goes out as one header line: a control character would end it early.
bool HasControlCharacter(const std::string& text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

CliParseOutcome UsageError(std::string message) {
  CliParseOutcome outcome;
  outcome.status = CliParseStatus::UsageError;
  outcome.message = std::move(message);
  return outcome;
}

// A setting's option with its value -> the value as stored; an empty string on success, else
// the problem.
std::string ApplySetting(const SettingRow& row, const std::string& spelled, const std::string& value,
                         CliOptions& options) {
  const SettingOption& o = row.option;
  std::string stored;
  switch (row.kind) {
    case SettingKind::Switch:
      stored = "1";
      break;
    case SettingKind::Number: {
      int32_t number = 0;
      if (!ParseBoundedInt(value, o.min, o.max, number))
        return std::string("invalid ") + o.what + " '" + value + "' for " + spelled + ": expected " + o.expected +
               " from " + std::to_string(o.min) + " to " + std::to_string(o.max);
      stored = std::to_string(number);
      break;
    }
    case SettingKind::Text: {
      if (HasControlCharacter(value)) return std::string("the ") + o.what + " for " + spelled + " holds a control character";
      if (value.size() > static_cast<size_t>(row.max))
        return std::string("the ") + o.what + " for " + spelled + " is longer than " + std::to_string(row.max) + " bytes";
      std::string problem;
      if (!row.read(value, stored, problem)) return std::string("invalid ") + o.what + " for " + spelled + ": " + problem;
      break;
    }
    case SettingKind::Words: {
      std::string problem;
      if (!row.read(value, stored, problem)) return "invalid " + problem + " for " + spelled;
      break;
    }
    case SettingKind::List: {
      if (value.empty()) return std::string("empty ") + o.what + " for " + spelled;
      if (HasControlCharacter(value)) return std::string("the ") + o.what + " for " + spelled + " holds a control character";
      std::string entry, problem;
      if (!row.read(value, entry, problem)) return "invalid " + std::string(o.what) + " '" + value + "' for " + spelled + ": " + problem;
      // Each use adds one entry to those given before.
      const std::optional<std::string> before = options.Setting(row.key);
      stored = before ? *before + "\n" + entry : entry;
      break;
    }
    case SettingKind::Types:
      return "no option sets " + spelled;
  }
  options.settings.insert_or_assign(row.key, std::move(stored));
  return {};
}

// Applies one option with its value; an empty string on success, else the problem.
std::string ApplyOption(const OptionName& option, const std::string& spelled, const std::string& value,
                        CliOptions& options) {
  switch (option.kind) {
    case OptionKind::Include:
      options.includePatterns.push_back(value);
      return {};
    case OptionKind::Exclude:
      options.excludePatterns.push_back(value);
      return {};
    case OptionKind::Out:
      if (value.empty()) return "empty folder name for " + spelled;
      options.outDir = value;
      return {};
    case OptionKind::Plain:
      options.plain = true;
      return {};
    case OptionKind::Quiet:
      options.quiet = true;
      return {};
    case OptionKind::Resume:
      options.resume = true;
      return {};
    case OptionKind::NoJournal:
      options.journal = false;
      return {};
    case OptionKind::ChangesOnly:
      options.changesOnly = true;
      return {};
    case OptionKind::Setting:
      return ApplySetting(*option.setting, spelled, value, options);
    case OptionKind::Help:
      return {};
  }
  return {};
}

// The --help lines of the settings' options on one page of the window, "  -d, --depth N  text".
std::string SettingOptionLines(std::initializer_list<SettingsPage> pages) {
  constexpr size_t kTextColumn = 22;
  std::string lines;
  for (const SettingRow& row : SettingsTable()) {
    const SettingOption& o = row.option;
    if (!o.name || std::find(pages.begin(), pages.end(), row.page) == pages.end()) continue;
    std::string head = std::string(o.shortName ? o.shortName : "  ") + (o.shortName ? ", " : "  ") + o.name;
    if (o.valueName) head += std::string(" ") + o.valueName;
    std::string line = "  " + head;
    line += line.size() + 1 < kTextColumn ? std::string(kTextColumn - line.size(), ' ') : std::string("  ");
    for (const char* c = o.help; *c; ++c) {
      line += *c;
      if (*c == '\n') line += std::string(kTextColumn, ' ');
    }
    lines += line + "\n";
  }
  return lines;
}

}  // namespace

std::optional<std::string> CliOptions::Setting(const std::string& key) const {
  auto it = settings.find(key);
  if (it == settings.end()) return std::nullopt;
  return it->second;
}

void ApplySettingOptions(const CliOptions& options, CSetupManager& setup) {
  for (const auto& [key, value] : options.settings)
    if (const SettingRow* row = FindSetting(key)) SetSettingText(setup, *row, value, SettingRange::Option);
}

CliParseOutcome ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::string inlineValue;
    bool hasInlineValue = false;
    if (arg.rfind("--", 0) == 0) {
      size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        inlineValue = arg.substr(eq + 1);
        hasInlineValue = true;
      }
    }
    const std::optional<OptionName> option = FindOption(name);
    if (!option) return UsageError("unknown option '" + arg + "'");
    if (option->kind == OptionKind::Help) {
      CliParseOutcome outcome;
      outcome.status = CliParseStatus::Help;
      return outcome;
    }
    std::string value;
    if (option->takesValue) {
      if (hasInlineValue) {
        value = inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return UsageError("option '" + name + "' needs a value");
      }
    } else if (hasInlineValue) {
      return UsageError("option '" + name + "' takes no value");
    }
    std::string problem = ApplyOption(*option, name, value, options);
    if (!problem.empty()) return UsageError(problem);
  }
  if (positional.empty()) return UsageError("no start address given");
  options.urls = std::move(positional);
  CliParseOutcome outcome;
  outcome.status = CliParseStatus::Run;
  outcome.options = std::move(options);
  return outcome;
}

std::string CliUsageText() {
  return "Usage: veltro-sitemap-cli [options] URL...\n"
         "Crawls the site of each URL from its root page, all side by side, and writes for each\n"
         "site, in the output folder (<site> is the host, with _PORT for a port not the default):\n"
         "  <site>_sitemap<i>.xml.gz (or .xml with --plain)  the XML sitemap files\n"
         "  <site>_urls.txt                                 the addresses fetched, one per line\n"
         "  <site>_failed.tsv                               path, code, description and the page linking\n"
         "                                                  to it, for each failure\n"
         "  <site>_changes.tsv (--lastmod-from content)     new, changed and gone pages since the last\n"
         "                                                  crawl: kind, address, lastmod\n"
         "  <site>_audit.tsv                                with --audit: kind, address, code and detail\n"
         "                                                  of each finding about the site's own sitemap\n"
         "\n"
         "Options:\n" +
         SettingOptionLines({SettingsPage::Run}) +
         "                      (both default to the settings of the desktop program, db/sitemap/setup)\n"
         "  -i, --include PAT   only addresses matching PAT go into the results (repeatable)\n"
         "  -e, --exclude PAT   addresses matching PAT stay out of the results (repeatable)\n"
         "                      PAT is one line of the pattern boxes; '*' matches any text\n"
         "                      an address left out is still fetched, and its links followed\n"
         "  -o, --out DIR       folder for the files (default: the current one; created when missing)\n"
         "      --plain         plain sitemap files instead of gzip\n"
         "  -q, --quiet         no progress line\n"
         "      --resume        go on with the unfinished crawl of each URL (stopped, interrupted or\n"
         "                      killed), from its journal in the output folder, with its settings;\n"
         "                      without it an unfinished journal is replaced by the new crawl's\n"
         "      --no-journal    keep no journal (a crawl cut off cannot be resumed)\n"
         "  -h, --help          this text\n"
         "\n"
         "Crawl rules (each one not given is taken from the settings, where all are off by default):\n" +
         SettingOptionLines({SettingsPage::Rules}) +
         "\n"
         "URL rules (each one not given is taken from the settings, where none is set by default):\n" +
         SettingOptionLines({SettingsPage::UrlRules}) +
         "\n"
         "Sitemap content (each one not given is taken from the settings; the defaults write every page\n"
         "with daily and 0.5):\n" +
         SettingOptionLines({SettingsPage::SitemapContent}) +
         "      --changes-only  with --lastmod-from content, also <site>_changed_sitemap<i>.xml.gz:\n"
         "                      the new and changed pages alone, beside the full sitemap\n"
         "\n"
         "Connection (each one not given is taken from the settings; the defaults connect directly or\n"
         "through the environment's proxy, with the system's certificates and 10 s a page):\n" +
         SettingOptionLines({SettingsPage::Connection}) +
         "  A site that answers 429 or 503 is waited out: all requests to it pause for its Retry-After\n"
         "  (at most 120 s) or 1, 2, 4 s, and the page is asked again, three times at most.\n"
         "\n"
         "Search engines (pushed only when --baidu-site, --baidu-token or --indexnow-key is given, and only\n"
         "after a crawl that ran to its end; the files are written first):\n" +
         SettingOptionLines({SettingsPage::SearchEngines}) +
         "\n"
         "Exit status, the worst of the crawls: 0 crawl ended, 2 usage error, 3 address without a host,\n"
         "4 nothing could be fetched from a site (the cause is printed), 130 interrupted (Ctrl-C; the\n"
         "files are still written, the journal kept for --resume), 1 the files could not be written,\n"
         "5 a push to a search engine failed (the sitemap files are written; the reason is printed).\n";
}
