#include "cli/CliOptions.h"

#include <limits>

#include "common/DecimalNumber.h"
#include "crawl/SitemapContent.h"

namespace {

enum class OptionKind {
  None, Depth, Threads, Include, Exclude, Out, Plain, Quiet, Help, Robots, Delay, UserAgent, Lastmod, Index, Resume,
  NoJournal, Canonical, Hreflang, Changefreq, Priority, Render
};

struct OptionName {
  const char* shortName;
  const char* longName;
  OptionKind kind;
  bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"-d", "--depth", OptionKind::Depth, true},     {"-t", "--threads", OptionKind::Threads, true},
    {"-i", "--include", OptionKind::Include, true}, {"-e", "--exclude", OptionKind::Exclude, true},
    {"-o", "--out", OptionKind::Out, true},         {nullptr, "--plain", OptionKind::Plain, false},
    {"-q", "--quiet", OptionKind::Quiet, false},    {"-h", "--help", OptionKind::Help, false},
    {nullptr, "--robots", OptionKind::Robots, false}, {nullptr, "--delay", OptionKind::Delay, true},
    {nullptr, "--user-agent", OptionKind::UserAgent, true}, {nullptr, "--lastmod", OptionKind::Lastmod, false},
    {nullptr, "--index", OptionKind::Index, false},  {nullptr, "--render", OptionKind::Render, false},
    {nullptr, "--resume", OptionKind::Resume, false},
    {nullptr, "--no-journal", OptionKind::NoJournal, false},
    {nullptr, "--canonical", OptionKind::Canonical, false}, {nullptr, "--hreflang", OptionKind::Hreflang, false},
    {nullptr, "--changefreq", OptionKind::Changefreq, true}, {nullptr, "--priority", OptionKind::Priority, true},
};

const OptionName* FindOption(const std::string& name) {
  for (const auto& option : kOptions) {
    if ((option.shortName && name == option.shortName) || name == option.longName) return &option;
  }
  return nullptr;
}

// Decimal digits only (an optional leading '+'), within [low, high].
bool ParseBoundedInt(const std::string& text, int64_t low, int64_t high, int32_t& value) {
  const std::string_view digits = std::string_view(text).substr(!text.empty() && text[0] == '+' ? 1 : 0);
  const std::optional<uint64_t> number = high < 0 ? std::nullopt : ParseDecimal(digits, static_cast<uint64_t>(high));
  if (!number || static_cast<int64_t>(*number) < low) return false;
  value = static_cast<int32_t>(*number);
  return true;
}

// A user agent goes out as one header line: a control character would end it early.
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

// Applies one option with its value; an empty string on success, else the problem.
std::string ApplyOption(const OptionName& option, const std::string& spelled, const std::string& value,
                        CliOptions& options) {
  int32_t number = 0;
  switch (option.kind) {
    case OptionKind::Depth:
      if (!ParseBoundedInt(value, 0, std::numeric_limits<int32_t>::max(), number))
        return "invalid depth '" + value + "' for " + spelled + ": expected a whole number from 0 to " +
               std::to_string(std::numeric_limits<int32_t>::max());
      options.depth = number;
      return {};
    case OptionKind::Threads:
      if (!ParseBoundedInt(value, 1, kMaxCliThreads, number))
        return "invalid thread count '" + value + "' for " + spelled + ": expected a whole number from 1 to " +
               std::to_string(kMaxCliThreads);
      options.threads = number;
      return {};
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
    case OptionKind::Robots:
      options.obeyRobots = true;
      return {};
    case OptionKind::Delay:
      if (!ParseBoundedInt(value, 0, kMaxCliDelayMs, number))
        return "invalid delay '" + value + "' for " + spelled + ": expected milliseconds from 0 to " +
               std::to_string(kMaxCliDelayMs);
      options.delayMs = number;
      return {};
    case OptionKind::UserAgent:
      if (HasControlCharacter(value)) return "the user agent for " + spelled + " holds a control character";
      if (value.size() > kMaxCliUserAgentBytes)
        return "the user agent for " + spelled + " is longer than " + std::to_string(kMaxCliUserAgentBytes) + " bytes";
      options.userAgent = value;
      return {};
    case OptionKind::Lastmod:
      options.lastmodFromHeader = true;
      return {};
    case OptionKind::Index:
      options.sitemapIndex = true;
      return {};
    case OptionKind::Render:
      options.renderScripts = true;
      return {};
    case OptionKind::Resume:
      options.resume = true;
      return {};
    case OptionKind::NoJournal:
      options.journal = false;
      return {};
    case OptionKind::Canonical:
      options.canonicalOnly = true;
      return {};
    case OptionKind::Hreflang:
      options.languageAlternates = true;
      return {};
    case OptionKind::Changefreq: {
      std::string word, message;
      if (!ParseChangefreq(value, word, message)) return "invalid " + message + " for " + spelled;
      options.changefreq = word;
      return {};
    }
    case OptionKind::Priority: {
      std::vector<std::string> values;
      std::string message;
      if (!ParsePriorities(value, values, message)) return "invalid " + message + " for " + spelled;
      options.priorities = values;
      return {};
    }
    case OptionKind::Help:
    case OptionKind::None:
      return {};
  }
  return {};
}

}  // namespace

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
    const OptionName* option = FindOption(name);
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
         "\n"
         "Options:\n"
         "  -d, --depth N       deepest link level to crawl (the root is level 0)\n"
         "  -t, --threads N     addresses fetched at the same time by each crawl (1 to 256)\n"
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
         "Crawl rules (each one not given is taken from the settings, where all are off by default):\n"
         "      --robots        obey robots.txt (fetched first), meta robots and rel=\"nofollow\"\n"
         "      --delay MS      at least MS milliseconds between two requests to the site (0 to 60000)\n"
         "      --user-agent TEXT  send TEXT as the User-Agent (empty: none); robots.txt groups are\n"
         "                      matched by its text up to the first '/' or space\n"
         "      --lastmod       lastmod of each page from its Last-Modified header, else today\n"
         "      --index         also write <site>_sitemap_index.xml when there are several sitemap files\n"
         "      --render        also render each HTML page in headless Chromium (package chromium) and\n"
         "                      follow the links its scripts write; slower, for sites built by JavaScript\n"
         "\n"
         "Sitemap content (each one not given is taken from the settings; the defaults write every page\n"
         "with daily and 0.5):\n"
         "      --canonical     leave out a page whose <link rel=\"canonical\"> names another address,\n"
         "                      and crawl that address when it is on the site\n"
         "      --hreflang      write each page's <link rel=\"alternate\" hreflang> as xhtml:link elements\n"
         "      --changefreq WORD  always, hourly, daily, weekly, monthly, yearly, never, or none (no element)\n"
         "      --priority LIST one value from 0.0 to 1.0 for every page, a list by link depth such as\n"
         "                      1.0,0.8,0.6 (the last for every deeper page), or none (no element)\n"
         "\n"
         "Exit status, the worst of the crawls: 0 crawl ended, 2 usage error, 3 address without a host,\n"
         "4 nothing could be fetched from a site (the cause is printed), 130 interrupted (Ctrl-C; the\n"
         "files are still written, the journal kept for --resume), 1 the files could not be written.\n";
}
