#include "cli/CliCrawl.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/CliResults.h"
#include "cli/InterruptWatcher.h"
#include "cli/OutputFolder.h"
#include "cli/ProgressLine.h"
#include "cli/SettingsSnapshot.h"
#include "common/MessageQueue.h"
#include "common/ResultCodes.h"
#include "common/StringTable.h"
#include "common/SystemInfo.h"
#include "common/TextCodec.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadControlSitemap.h"
#include "crawl/CrawlResultConsumer.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/CrawlStatus.h"
#include "crawl/CrawlSync.h"
#include "crawl/PatternFilter.h"
#include "settings/CSetupManager.h"
#include "settings/CrawlRulesOf.h"
#include "settings/SettingsPersistence.h"
#include "web/HttpGlobal.h"
#include "web/UrlRules.h"

namespace {

constexpr const char* kProgram = "veltro-sitemap-cli";

void Complain(const std::string& text) { std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str()); }

// As the crawl page reads a text box: trimmed at both ends, then in the ANSI code page.
std::string BoxText(const std::string& typed) { return WideToAnsi(TrimWhitespace(Utf8ToWide(typed))); }

void FillPatterns(StringISet& set, const std::vector<std::string>& patterns) {
  for (const std::string& pattern : patterns) {
    std::string text = BoxText(pattern);
    if (!text.empty()) PatternFilter::FillPatternSet(set, text);
  }
}

// libcurl's process-wide set-up for the life of the command.
class HttpLibrary {
 public:
  HttpLibrary() { HttpGlobalInit(); }
  ~HttpLibrary() { HttpGlobalCleanup(); }
  HttpLibrary(const HttpLibrary&) = delete;
  HttpLibrary& operator=(const HttpLibrary&) = delete;
};

struct CrawlSettings {
  int32_t maxDepth = 0;
  int32_t threadCount = 0;
  StringISet forbiddenExtensions;
  CrawlRules rules;
  bool sitemapIndex = false;
};

// One crawl with the command playing the main window.
class HeadlessWindow {
 public:
  HeadlessWindow(const CliOptions& options, const CrawlSettings& settings)
      : options_(options),
        settings_(settings),
        control_(std::make_shared<CSitemapControl>()),
        consumer_(*control_, &controller_),
        watcher_(window_.handle()),
        progress_(stderr, isatty(STDERR_FILENO) == 1) {
    SetMainWindow(window_.handle());
    consumer_.onPortion = [this](const CrawlPortion& portion) { results_.AddPortion(portion); };
    consumer_.onFinished = [this] { finished_ = true; };
    consumer_.onReset = [this] { results_.ClearLists(); };
  }

  ~HeadlessWindow() { SetMainWindow(kNoWindow); }

  // The Start action of the crawl page with an address that has a host.
  bool Start(const std::string& address) {
    PostWindowMessage(window_.handle(), WM_CRAWL_RESET, 0, 0);
    startTick_ = GetTickCount32();
    CSitemapData& data = control_->data();
    data.Reset();
    FillPatterns(data.stores->patterns().includePatterns, options_.includePatterns);
    FillPatterns(data.stores->patterns().excludePatterns, options_.excludePatterns);
    CrawlStartParams& params = TheCrawlStartParams();
    params.notifyWindow = window_.handle();
    params.maxDepth = settings_.maxDepth;
    params.threadCount = settings_.threadCount;
    params.forbiddenExtensions = settings_.forbiddenExtensions;
    params.rules = settings_.rules;
    params.startUrl = address;
    params.control = control_;
    return controller_.Start(&params) == rc::kOk;
  }

  // The message loop until WM_CRAWL_FINISHED; the status lines once a second.
  void RunUntilFinished() {
    using Clock = std::chrono::steady_clock;
    auto nextRefresh = Clock::now() + std::chrono::seconds(1);
    while (!finished_) {
      auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextRefresh - Clock::now());
      std::optional<PostedMessage> msg = window_.Take(std::max(wait, std::chrono::milliseconds(0)));
      if (msg) Handle(*msg);
      if (Clock::now() >= nextRefresh) {
        RefreshStatus();
        nextRefresh += std::chrono::seconds(1);
      }
    }
    RefreshStatus();
    if (!options_.quiet) progress_.Finish();
  }

  bool interrupted() const { return interrupted_; }
  CliResults& results() { return results_; }
  std::string Host() const { return control_->Host(); }
  // The site's root address as the crawl ended up on it (after the root's redirects).
  std::string SiteRoot() const { return FullAddressOf(*control_, "/"); }

  // Frees the crawl's stores once its thread has ended, before the result files are built.
  void ReleaseCrawlData() {
    if (controller_.WaitFinished(std::chrono::seconds(5))) control_->data().Reset();
  }

 private:
  void Handle(const PostedMessage& msg) {
    if (msg.message == InterruptWatcher::kInterruptMessage) {
      StopOnInterrupt();
      return;
    }
    consumer_.HandleMessage(msg);
  }

  // The Stop button: the crawl ends its running pages and posts what it has; the loop goes on
  // taking the portions until WM_CRAWL_FINISHED.
  void StopOnInterrupt() {
    if (interrupted_ || finished_) return;
    interrupted_ = true;
    if (!options_.quiet) {
      progress_.Finish();
      std::fprintf(stderr, "%s: stopping; the pages being fetched are ended\n", kProgram);
    }
    if (!finished_) controller_.Stop();
  }

  void RefreshStatus() {
    if (options_.quiet) return;
    uint32_t seconds = (GetTickCount32() - startTick_) / 1000;
    progress_.Show(FormatElapsed(seconds) + L"  " + FormatCounters(ReadCounters(*control_)));
  }

  const CliOptions& options_;
  CrawlSettings settings_;
  MessageQueue window_;
  std::shared_ptr<CSitemapControl> control_;
  CThreadControlSitemap controller_;
  CliResults results_;
  CrawlResultConsumer consumer_;
  InterruptWatcher watcher_;
  ProgressLine progress_;
  uint32_t startTick_ = 0;
  bool finished_ = false;
  bool interrupted_ = false;
};

// The file and the reason; an existing file of that name was left as it was.
void ComplainNotWritten(const std::string& what, const FileWriteResult& failure) {
  std::string text = "cannot write " + what + " '" + failure.path + "': " + FileWriteReasonText(failure);
  if (failure.step == WriteStep::SyncFolder) {
    text += " (the new file is in place, but its folder could not be flushed to the disk)";
  } else {
    text += " (an earlier file of that name is unchanged)";
  }
  Complain(text);
}

bool WriteResultFiles(HeadlessWindow& window, const std::string& dir, const std::string& host, bool gzip,
                      bool index) {
  CliResults& results = window.results();
  bool ok = true;
  FileWriteResult failure;
  if (results.SaveSitemap(dir, host, gzip, &failure, index ? window.SiteRoot() : std::string()) != rc::kOk) {
    ComplainNotWritten("the sitemap file", failure);
    ok = false;
  }
  // The sitemap documents and the crawl's stores are the bulk of the memory; the URL list
  // text is built after they are gone.
  results.ReleaseSitemap();
  window.ReleaseCrawlData();
  if (results.SaveUrlList(dir, host, &failure) != rc::kOk) {
    ComplainNotWritten("the URL list", failure);
    ok = false;
  }
  if (results.SaveFailures(dir, host, &failure) != rc::kOk) {
    ComplainNotWritten("the failure list", failure);
    ok = false;
  }
  return ok;
}

}  // namespace

int RunCliCrawl(const CliOptions& options) {
  std::string address = BoxText(options.url);
  if (address.empty()) {
    Complain("the start address is empty or not valid text");
    return kExitUsage;
  }
  std::string host = HostOf(address);
  if (host.empty()) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, options.url.c_str(), WideToUtf8(LoadStringById(105)).c_str());
    return kExitNoHost;
  }
  std::error_code ec;
  std::string outDir = std::filesystem::absolute(options.outDir, ec).lexically_normal().string();
  std::string problem;
  if (ec || !PrepareOutputFolder(outDir, problem)) {
    Complain(problem.empty() ? "cannot use folder '" + options.outDir + "'" : problem);
    return kExitFilesNotWritten;
  }

  CSetupManager setup;
  std::string settingsNote;
  LoadSettingsReadOnly(setup, kSettingsDbPath, settingsNote);
  CrawlSettings settings;
  settings.maxDepth = options.depth.value_or(setup.maxDepth);
  settings.threadCount = options.threads.value_or(setup.threadCount);
  settings.forbiddenExtensions = setup.forbiddenExtensions;
  settings.rules = CrawlRulesOf(setup);
  if (options.obeyRobots) settings.rules.obeyRobots = *options.obeyRobots;
  if (options.delayMs) settings.rules.minIntervalMs = *options.delayMs;
  if (options.userAgent) settings.rules.userAgent = BoxText(*options.userAgent);
  if (options.lastmodFromHeader) settings.rules.lastmodFromHeader = *options.lastmodFromHeader;
  settings.sitemapIndex = options.sitemapIndex.value_or(setup.sitemapIndex != 0);
  if (!options.quiet) {
    std::fprintf(stderr, "%s: crawling %s (depth %d, %d threads; %s)\n", kProgram, AnsiToUtf8(address).c_str(),
                 settings.maxDepth, settings.threadCount, settingsNote.c_str());
  }

  HttpLibrary http;
  HeadlessWindow window(options, settings);
  if (!window.Start(address)) {
    Complain("cannot start the crawl thread");
    return kExitFilesNotWritten;
  }
  window.RunUntilFinished();

  std::string crawlHost = window.Host();
  if (crawlHost.empty()) crawlHost = host;
  size_t ok = window.results().okCount();
  size_t failed = window.results().failureCount();
  bool written = WriteResultFiles(window, outDir, crawlHost, !options.plain, settings.sitemapIndex);
  if (!options.quiet) {
    std::fprintf(stderr, "%s: %zu addresses fetched, %zu failed; files %s_* in %s\n", kProgram, ok, failed,
                 crawlHost.c_str(), outDir.c_str());
  }
  if (!written) return kExitFilesNotWritten;
  return window.interrupted() ? kExitInterrupted : kExitCrawlEnded;
}
