#include "cli/CliCrawl.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/InterruptWatcher.h"
#include "cli/OutputFolder.h"
#include "cli/ProgressLine.h"
#include "cli/RunEvents.h"
#include "cli/SettingsSnapshot.h"
#include "common/SystemInfo.h"
#include "common/TextCodec.h"
#include "crawl/CrawlJournal.h"
#include "crawl/RepeatedParamWatch.h"
#include "crawl/ResumeDecision.h"
#include "crawl/PatternFilter.h"
#include "output/AuditReport.h"
#include "output/CrawlEnding.h"
#include "output/CrawlResults.h"
#include "output/CrawlSession.h"
#include "output/RobotsSitemapLine.h"
#include "output/SearchEnginePush.h"
#include "settings/OutputOptionsOf.h"
#include "settings/CSetupManager.h"
#include "settings/ConnectionSettings.h"
#include "settings/CrawlStartParamsOf.h"
#include "settings/SettingsPersistence.h"
#include "render/PageRenderer.h"
#include "texts/CrawlStatusText.h"
#include "texts/PushText.h"
#include "texts/StringTable.h"
#include "web/HttpGlobal.h"
#include "web/UrlRules.h"

namespace {

constexpr const char* kProgram = "veltro-sitemap-cli";

// What became of the content history before the crawl, as the command says it.
std::string HistoryNoticeLine(const HistoryNotice& notice) {
  switch (notice.kind) {
    case HistoryNotice::Kind::SetAside:
      return "the content history was damaged (" + notice.detail + "); it is kept as '" + notice.asidePath +
             "' and a new one is begun";
    case HistoryNotice::Kind::Unavailable:
      return "the content history '" + notice.folder + "' cannot be used (" + notice.detail +
             "); every page counts as new this time";
    case HistoryNotice::Kind::None:
      break;
  }
  return {};
}

void Complain(const std::string& text) { std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str()); }

// As the crawl page reads a text box: trimmed at both ends (UTF-8 like every narrow text).
std::string BoxText(const std::string& typed) { return TrimWhitespace(typed); }

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

// The start record every crawl of the run shares, but for its address: the settings (with the
// options given over them), mapped as the window maps its own.
CrawlStartParams StartRecord(const CliOptions& options, const CSetupManager& setup) {
  CrawlStartParams params = CrawlStartParamsOf(setup);
  FillPatterns(params.includePatterns, options.includePatterns);
  FillPatterns(params.excludePatterns, options.excludePatterns);
  return params;
}

// Whether the connection settings can be used, said on stderr when not; the password is never
// part of what is said.
bool ConnectionUsable(const http_options& http, const CSetupManager& setup) {
  if (const ConnectionProblem problem = CheckConnection(http)) {
    Complain(ConnectionProblemText(problem));
    return false;
  }
  if (NeedsPassword(setup.credentials)) {
    Complain("the settings name the user '" + http.user + "' but keep no password; give --user USER:PASSWORD");
    return false;
  }
  if (!http.verifyTls)
    Complain("certificate verification is off (--insecure): any server may pose as the site; " + InsecureText());
  return true;
}

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

// What the run writes and sends beside the three files, from the settings and options.
struct ExtraOutputs {
  bool deadLinks = false;
  bool deadLinksAll = false;
  SearchEngineSettings engines;
  PushChoice push;  // only the engines whose options were given
};

ExtraOutputs ExtraOutputsOf(const CliOptions& options, CSetupManager setup) {
  ApplySettingOptions(options, setup);
  ExtraOutputs extra;
  extra.deadLinks = setup.deadLinks != 0;
  extra.deadLinksAll = setup.deadLinksAll != 0;
  extra.engines = SearchEngineSettingsOf(setup);
  // Never on its own: a token kept by the window pushes nothing until the command is told to.
  extra.push.baidu = options.Setting(kKeyBaiduSite) || options.Setting(kKeyBaiduToken);
  extra.push.indexNow = options.Setting(kKeyIndexNowKey).has_value();
  return extra;
}

// The engine's settings the push needs; the problem, or empty when they are complete.
std::string PushSettingProblem(const ExtraOutputs& extra) {
  if (extra.push.baidu && !extra.engines.baiduReady()) return "--baidu-site and --baidu-token are both needed to push to Baidu";
  if (extra.push.indexNow && !extra.engines.indexNowReady()) return "--indexnow-key is empty";
  return {};
}

bool WriteResultFiles(CrawlResults& results, const std::string& dir, bool gzip, bool index, bool htmlPage,
                      const ExtraOutputs& extra, std::vector<std::string>& sitemapFiles) {
  bool ok = true;
  FileWriteResult failure;
  if (!results.SaveSitemap(dir, gzip, &failure, index, &sitemapFiles).ok()) {
    ComplainNotWritten("the sitemap file", failure);
    ok = false;
  }
  // The sitemap documents are the bulk of the memory; the other files are written without them.
  results.ReleaseSitemap();
  if (!results.SaveUrlList(dir, &failure).ok()) {
    ComplainNotWritten("the URL list", failure);
    ok = false;
  }
  if (!results.SaveFailures(dir, &failure).ok()) {
    ComplainNotWritten("the failure list", failure);
    ok = false;
  }
  if (htmlPage && !results.SaveHtmlSitemap(dir, &failure).ok()) {
    ComplainNotWritten("the HTML sitemap", failure);
    ok = false;
  }
  if (extra.deadLinks && !results.SaveDeadLinks(dir, extra.deadLinksAll, &failure).ok()) {
    ComplainNotWritten("the dead-link list", failure);
    ok = false;
  }
  return ok;
}

// The crawls of one run, side by side, with the progress line over all of them.
class CliRun {
 public:
  CliRun(const CliOptions& options, std::string outDir, ExtraOutputs extra, http_options http)
      : options_(options),
        outDir_(std::move(outDir)),
        extra_(std::move(extra)),
        http_(std::move(http)),
        events_(std::make_shared<RunEvents>()),
        watcher_([events = events_] { events->Interrupt(); }),
        progress_(stderr, isatty(STDERR_FILENO) == 1) {}

  bool Start(const CrawlStartParams& params) {
    std::shared_ptr<CrawlSession> session = CrawlSession::Start(params, events_);
    if (!session) return false;
    crawls_.push_back({session, params.startUrl, params.sitemap.indexFile, params.rules.maxPages, params.sitemap.htmlPage});
    return true;
  }

  // Until every crawl has ended and written its files; the status line once a second.
  // Returns the worst exit status of the crawls.
  int RunUntilFinished() {
    using Clock = std::chrono::steady_clock;
    startTick_ = GetTickCount32();
    auto nextRefresh = Clock::now() + std::chrono::seconds(1);
    while (!AllWritten()) {
      if (events_->WaitUntil(nextRefresh)) StopOnInterrupt();
      WriteFinished();
      if (Clock::now() >= nextRefresh) {
        ReportNotices();
        RefreshStatus();
        nextRefresh += std::chrono::seconds(1);
      }
    }
    RefreshStatus();
    if (!options_.quiet) progress_.Finish();
    return worst_;
  }

 private:
  struct Crawl {
    std::shared_ptr<CrawlSession> session;  // released once the files are written
    std::string address;
    bool sitemapIndex = false;  // as its start record says, a resumed crawl's own
    int32_t maxPages = 0;       // the same
    bool htmlPage = false;      // the same: its pages' titles were collected
    bool written = false;
    bool noticeShown = false;
    bool hintShown = false;
    bool journalShown = false;
    CrawlCounters last{};  // the counters when the crawl ended
  };

  // What a crawl says once while it goes on (pages no longer rendered), quiet or not.
  void ReportNotice(Crawl& crawl) {
    ReportRepeatedParameter(crawl);
    ReportJournalProblem(crawl);
    if (crawl.noticeShown || !crawl.session) return;
    const std::string notice = RenderStopText(crawl.session->renderStop());
    if (notice.empty()) return;
    crawl.noticeShown = true;
    if (!options_.quiet) progress_.Finish();
    Complain(crawl.address + ": " + notice);
  }

  // A journal that could not be begun or stopped part way: the crawl goes on, but Ctrl-C
  // would lose what it lacks. Said once.
  void ReportJournalProblem(Crawl& crawl) {
    if (crawl.journalShown || !crawl.session) return;
    const JournalNotice problem = crawl.session->journalProblem();
    if (problem.kind == JournalNotice::Kind::None) return;
    crawl.journalShown = true;
    if (!options_.quiet) progress_.Finish();
    const std::string journal = "the journal '" + crawl.session->params().journalPath + "' (" + CauseText(problem.cause) + ")";
    if (problem.kind == JournalNotice::Kind::NotBegun)
      Complain(crawl.address + ": cannot keep " + journal + "; the crawl goes on, but if it is cut off it cannot be resumed");
    else
      Complain(crawl.address + ": cannot write on " + journal +
               "; the crawl goes on, but if it is cut off --resume goes on from where the journal stopped");
  }

  // A site that seems to make endless addresses out of one parameter: said once, with the rule.
  void ReportRepeatedParameter(Crawl& crawl) {
    if (crawl.hintShown || !crawl.session) return;
    const std::string name = crawl.session->repeatedParameter();
    if (name.empty()) return;
    crawl.hintShown = true;
    if (!options_.quiet) progress_.Finish();
    Complain(crawl.address + ": more than " + std::to_string(RepeatedParamWatch::kThreshold) +
             " addresses differ only in the query parameter '" + name + "'; if it does not change the page, --remove-param " +
             name + " crawls each page once");
  }

  // What the URL rules and the sitemap's limits did to a crawl that has ended.
  void ReportLimits(const Crawl& crawl, bool pageLimit, const CrawlResults& results) {
    if (pageLimit)
      Complain(crawl.address + ": page limit reached (" + std::to_string(crawl.maxPages) +
               "), addresses left unfetched; 已达到网页数上限（" + std::to_string(crawl.maxPages) + "）");
    if (const size_t tooLong = results.tooLongCount())
      Complain(crawl.address + ": " + std::to_string(tooLong) + " page" + (tooLong == 1 ? "" : "s") +
               " left out of the sitemap: the address is longer than " + std::to_string(kMaxSitemapAddress) +
               " characters, which the sitemap protocol does not allow (still in the URL list)");
  }

  // Under lastmod from content: the changes file, the sitemap of the changes when asked, and
  // the counts. False when a file could not be written.
  bool WriteChangeFiles(const Crawl& crawl, const CrawlResults& results) {
    const ContentChanges changes = results.changes();
    if (!changes.judged) return true;
    const std::string notice = HistoryNoticeLine(changes.notice);
    if (!notice.empty()) Complain(crawl.address + ": " + notice);
    if (!changes.notice.writeFailure.ok())
      Complain(crawl.address + ": the content history '" + changes.notice.folder + "' could not be written (" +
               CauseText(changes.notice.writeFailure) +
               "); the next crawl judges the pages against the history as it was before this crawl");
    bool ok = true;
    FileWriteResult failure;
    if (!results.SaveChanges(outDir_, &failure).ok()) {
      ComplainNotWritten("the changes file", failure);
      ok = false;
    }
    if (options_.changesOnly && !results.SaveChangedSitemap(outDir_, !options_.plain, &failure).ok()) {
      ComplainNotWritten("the sitemap of the changes", failure);
      ok = false;
    }
    if (!options_.quiet) {
      std::fprintf(stderr, "%s: %s: since the last crawl %zu new, %zu changed, %zu gone (%s); %s\n", kProgram,
                   crawl.address.c_str(), changes.newCount, changes.changedCount, changes.goneCount,
                   ChangesCountText(changes).c_str(), CrawlResults::ChangesName(results.SiteName()).c_str());
    }
    return ok;
  }

  // The audit's file beside the others, and its counts by kind.
  bool WriteAudit(const Crawl& crawl, const CrawlResults& results, const std::vector<AuditRow>& rows) {
    FileWriteResult failure;
    const std::string path = (std::filesystem::path(outDir_) / AuditReportName(results.SiteName())).string();
    const bool saved = SaveAuditReport(path, rows, &failure).ok();
    if (!saved) ComplainNotWritten("the sitemap audit", failure);
    if (options_.quiet) return saved;
    const std::array<size_t, kAuditKindCount> counts = AuditCounts(rows);
    std::string line = crawl.address + ": sitemap audit, " + std::to_string(rows.size()) + " row" +
                       (rows.size() == 1 ? "" : "s") + ":";
    for (size_t kind = 0; kind < kAuditKindCount; ++kind)
      line += std::string(" ") + AuditKindWord(static_cast<AuditKind>(kind)) + " " + std::to_string(counts[kind]);
    std::fprintf(stderr, "%s: %s\n", kProgram, line.c_str());
    return saved;
  }

  void ReportNotices() {
    for (Crawl& crawl : crawls_) ReportNotice(crawl);
  }

  bool AllWritten() const {
    for (const Crawl& crawl : crawls_)
      if (!crawl.written) return false;
    return true;
  }

  // Each crawl's files as soon as it has ended, so its memory goes before the others end.
  void WriteFinished() {
    for (Crawl& crawl : crawls_) {
      if (crawl.written || !crawl.session || !crawl.session->finished()) continue;
      crawl.written = true;
      ReportNotice(crawl);
      if (!options_.quiet) progress_.Finish();
      crawl.last = crawl.session->counters();
      const int32_t outcome = crawl.session->outcome();
      const bool pageLimit = crawl.session->pageLimitReached();
      const bool audited = crawl.session->params().rules.auditSitemap;
      const std::vector<AuditRow> auditRows = audited ? crawl.session->auditRows() : std::vector<AuditRow>{};
      const bool robotsLacksSitemap = crawl.session->robotsTxtLacksSitemap();
      // The crawl's stores go before the files are built; the record is all they need.
      std::shared_ptr<CrawlResults> kept = crawl.session->results();
      crawl.session.reset();
      CrawlResults& results = *kept;
      size_t ok = results.okCount();
      size_t failed = results.failureCount();
      if (results.SiteName().empty()) {
        // Nothing came back: the files are still named after the address as typed.
        SiteOrigin typed = OriginOf(crawl.address);
        typed.host = HostOf(crawl.address);
        results.SetOrigin(typed);
      }
      std::vector<std::string> sitemapFiles;
      bool written =
          WriteResultFiles(results, outDir_, !options_.plain, crawl.sitemapIndex, crawl.htmlPage, extra_, sitemapFiles);
      if (!options_.quiet) {
        std::fprintf(stderr, "%s: %s: %zu addresses fetched, %zu failed; files %s_* in %s\n", kProgram,
                     crawl.address.c_str(), ok, failed, results.SiteName().c_str(), outDir_.c_str());
      }
      ReportLimits(crawl, pageLimit, results);
      written = WriteChangeFiles(crawl, results) && written;
      if (audited && !WriteAudit(crawl, results, auditRows)) written = false;
      if (written && robotsLacksSitemap && !sitemapFiles.empty())
        Complain(crawl.address + ": " +
                 RobotsSitemapAdviceText(RobotsSitemapLines(results.origin(), sitemapFiles, crawl.sitemapIndex)));
      const CrawlEnding ending = DescribeEnding(results, outcome);
      const bool nothing = ending.FetchedNothing();
      if (nothing) Complain(EndingMessage(ending, crawl.address));
      // Only a crawl that ran to its end is worth announcing; its files are on the disk by now.
      const bool pushed = ending.kind == CrawlEnding::Kind::Ended && !interrupted_ && (extra_.push.baidu || extra_.push.indexNow);
      const bool pushOk = !pushed || Push(crawl, results);
      Worsen(!written ? kExitFilesNotWritten
             : nothing ? kExitNothingFetched
             : !pushOk ? kExitPushFailed
             : interrupted_ ? kExitInterrupted
                            : kExitCrawlEnded);
    }
  }

  // Sends the crawl's sitemap pages to the engines asked for and says what became of them, on
  // stdout (the result of the run, like the files) whatever --quiet says. False when a push failed.
  bool Push(const Crawl& crawl, const CrawlResults& results) {
    if (!options_.quiet) std::fprintf(stderr, "%s: %s: pushing to the search engines\n", kProgram, crawl.address.c_str());
    const PushOutcome outcome = PushToSearchEngines(results, extra_.engines, extra_.push, http_);
    std::fprintf(stdout, "%s: %s\n", crawl.address.c_str(), PushReportText(outcome).c_str());
    std::fflush(stdout);
    if (!outcome.ok()) Complain(crawl.address + ": a push to a search engine failed (see above)");
    return outcome.ok();
  }

  // The worst status so far: files not written, then nothing fetched, then a failed push, then
  // interrupted, then ended.
  void Worsen(int status) {
    auto rank = [](int s) {
      return s == kExitFilesNotWritten ? 4 : s == kExitNothingFetched ? 3 : s == kExitPushFailed ? 2 : s == kExitInterrupted ? 1 : 0;
    };
    if (rank(status) > rank(worst_)) worst_ = status;
  }

  // The Stop button for every crawl: each ends its running pages and hands over what it has.
  void StopOnInterrupt() {
    if (interrupted_) return;
    interrupted_ = true;
    if (!options_.quiet) {
      progress_.Finish();
      std::fprintf(stderr, "%s: stopping; the pages being fetched are ended, the journal is kept for --resume\n",
                   kProgram);
    }
    for (Crawl& crawl : crawls_)
      if (crawl.session) crawl.session->Stop();
  }

  void RefreshStatus() {
    if (options_.quiet) return;
    CrawlCounters sum;
    for (const Crawl& crawl : crawls_) {
      CrawlCounters c = crawl.session ? crawl.session->counters() : crawl.last;
      sum.waiting += c.waiting;
      sum.crawling += c.crawling;
      sum.crawledOk += c.crawledOk;
      sum.failed += c.failed;
      sum.notAllowed += c.notAllowed;
      sum.tooDeep += c.tooDeep;
      sum.excluded += c.excluded;
    }
    uint32_t seconds = (GetTickCount32() - startTick_) / 1000;
    std::string line = FormatElapsed(seconds) + "  " + FormatCounters(sum);
    std::chrono::milliseconds pause{0};
    for (const Crawl& crawl : crawls_)
      if (crawl.session) pause = std::max(pause, crawl.session->pauseRemaining());
    if (const std::string note = PauseText(pause); !note.empty()) line += "  " + note;
    progress_.Show(line);
  }

  const CliOptions& options_;
  const std::string outDir_;
  const ExtraOutputs extra_;
  const http_options http_;  // the crawl's request options, for the pushes
  const std::shared_ptr<RunEvents> events_;  // crawls that end and Ctrl-C wake the main thread
  InterruptWatcher watcher_;
  ProgressLine progress_;
  std::vector<Crawl> crawls_;
  uint32_t startTick_ = 0;
  bool interrupted_ = false;
  int worst_ = kExitCrawlEnded;
};

// Why a journal cannot be gone on with, as the command says it.
std::string RefusalText(const ResumeDecision& decision) {
  using Status = JournalSummary::Status;
  switch (decision.reason) {
    case Status::Older:
      return "the journal was written by an older version (" + decision.detail + ") and keeps too little to go on with";
    case Status::Newer:
      return "the journal was written by a newer version (" + decision.detail + ")";
    case Status::OtherAddress:
      return "the journal is of another address (" + decision.detail + ")";
    default:
      return "the journal is damaged (" + decision.detail + ")";
  }
}

// The journal of address in the output folder: what --resume goes on with, or what the new
// crawl replaces; says on stderr which, and why a journal is refused.
CrawlStartParams WithJournal(const CrawlStartParams& fresh, const std::string& outDir, bool resume) {
  const ResumeDecision decision = ResumeDecision::For(
      fresh, (std::filesystem::path(outDir) / CrawlJournal::FolderName(fresh.startUrl)).string());
  const std::string& address = fresh.startUrl;
  switch (decision.kind) {
    case ResumeDecision::Kind::Offer:
      if (resume) {
        std::fprintf(stderr, "%s: %s: going on with the unfinished crawl: %lld pages done, %lld waiting\n", kProgram,
                     address.c_str(), static_cast<long long>(decision.finished),
                     static_cast<long long>(decision.waiting));
        return decision.ParamsToRun(true);
      }
      std::fprintf(stderr, "%s: %s: the unfinished crawl (%lld pages done) is replaced by a new one; --resume goes on with it\n",
                   kProgram, address.c_str(), static_cast<long long>(decision.finished));
      break;
    case ResumeDecision::Kind::Afresh:
      if (resume) std::fprintf(stderr, "%s: %s: no unfinished crawl to go on with; starting afresh\n", kProgram, address.c_str());
      break;
    case ResumeDecision::Kind::Refused:
      Complain(address + ": " + RefusalText(decision) + "; starting afresh");
      if (!decision.Discard()) Complain(address + ": cannot remove the journal '" + decision.journalPath + "'");
      break;
  }
  return decision.ParamsToRun(false);
}

}  // namespace

int RunCliCrawl(const CliOptions& options) {
  std::vector<std::string> addresses;
  for (const std::string& url : options.urls) {
    std::string address = BoxText(url);
    if (address.empty()) {
      Complain("the start address is empty or not valid text");
      return kExitUsage;
    }
    if (HostOf(address).empty()) {
      std::fprintf(stderr, "%s: %s: %s\n", kProgram, url.c_str(), LoadStringById(105).c_str());
      return kExitNoHost;
    }
    addresses.push_back(address);
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
  ApplySettingOptions(options, setup);
  CrawlStartParams params = StartRecord(options, setup);
  if (!ConnectionUsable(*params.httpOptions, setup)) return kExitUsage;
  if (params.rules.renderScripts) {
    // Said before any crawl starts: a crawl without the browser would not be the one asked for.
    if (!PageRenderer::Available()) {
      Complain(BrowserMissingText(kChromiumPath));
      return kExitUsage;
    }
  }
  const ExtraOutputs extra = ExtraOutputsOf(options, setup);
  if (const std::string problem = PushSettingProblem(extra); !problem.empty()) {
    Complain(problem);
    return kExitUsage;
  }
  http_options requests = params.httpOptions.value_or(http_options());
  requests.userAgent = params.rules.userAgent;
  HttpLibrary http;
  CliRun run(options, outDir, extra, requests);
  for (const std::string& address : addresses) {
    params.startUrl = address;
    const CrawlStartParams start = options.journal ? WithJournal(params, outDir, options.resume) : params;
    if (!options.quiet) {
      std::fprintf(stderr, "%s: crawling %s (depth %d, %d threads; %s)\n", kProgram, address.c_str(),
                   start.maxDepth, start.threadCount,
                   start.resume ? "the settings of the unfinished crawl" : settingsNote.c_str());
    }
    if (!run.Start(start)) {
      Complain("cannot start the crawl thread");
      return kExitFilesNotWritten;
    }
  }
  return run.RunUntilFinished();
}
