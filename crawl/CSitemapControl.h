#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crawl/CSitemapData.h"
#include "crawl/ContentChange.h"
#include "crawl/ContentDating.h"
#include "crawl/CrawlResultConsumer.h"
#include "crawl/FetchedPage.h"
#include "crawl/JournalNotice.h"
#include "crawl/SiteOpener.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/LargePageGate.h"
#include "crawl/LinkAdmission.h"
#include "crawl/LinkReader.h"
#include "crawl/PageFetch.h"
#include "crawl/RenderStop.h"
#include "crawl/RenderedLinks.h"
#include "crawl/ResultBatcher.h"
#include "crawl/SitemapCheck.h"
#include "web/SiteOrigin.h"

class CHttpSession;
class CrawlScheduler;
class CurlShare;
struct PageScratch;

// One crawl: made from its start record, run once, its results handed to its consumer.
// It owns its state, its locks and its stop request; two crawls share nothing.
class CSitemapControl {
 public:
  // Fetches one full address into (header block, body); 0 on success, positive libcurl
  // codes and negative client codes otherwise. The default one uses the worker's CHttpSession.
  using PageFetcher = PageFetch::Fetcher;

  CSitemapControl(const CrawlStartParams& params, std::shared_ptr<CrawlResultConsumer> consumer);
  ~CSitemapControl();
  CSitemapControl(const CSitemapControl&) = delete;
  CSitemapControl& operator=(const CSitemapControl&) = delete;

  // Runs the whole crawl on the calling thread (the crawl thread) and ends it with the
  // consumer's OnFinished: 0, rc::kParse (no host), rc::kStopped, or rc::kGeneral.
  int32_t RunCrawl();

  // Asks the crawl to stop: running transfers end, no page starts; returns at once.
  void RequestStop() { stopRequested_.store(true); }
  bool IsStopRequested() const { return stopRequested_.load(); }

  // Results gathered and not yet handed to the consumer.
  size_t PendingResults() const { return batcher_.pending(); }

  CSitemapData& data() { return *data_; }
  const CSitemapData& data() const { return *data_; }
  const CrawlStartParams& params() const { return data_->params; }

  // Copies taken under the shared side of the host lock.
  std::string Host() const;
  SiteOrigin Origin() const;
  // The seven counters as one copy.
  CrawlCounters Counters() const;
  // Why pages are not rendered although the rules ask for it. Safe to call while the crawl runs.
  RenderStop RenderNotice() const { return rendered_.Notice(); }
  // Whether the page limit left addresses unfetched; safe while the crawl runs.
  bool PageLimitReached() const { return data_->ledger.PageLimitReached(); }
  // Why the journal its start record names does not hold the whole crawl; safe while the
  // crawl runs.
  JournalNotice JournalProblem() const { return data_->ledger.JournalProblem(); }
  // The query parameter that seems to make endless addresses (empty: none); the front ends
  // suggest a rule for it.
  std::string RepeatedParameter() const { return data_->ledger.RepeatedParameter(); }
  // Whether the crawl read the site's robots.txt and found no Sitemap line in it; decided
  // before the workers start, so safe once they run.
  bool RobotsTxtLacksSitemap() const {
    return params().rules.obeyRobots && data_->robots.access == RobotsAccess::Rules && !data_->robots.rules.namesSitemap();
  }

  // Under lastmod from content, once the crawl has ended: what changed since the site's last
  // crawl, and what became of its history.
  ContentChanges Changes() const { return dating_.Changes(); }
  // The rows of the audit of the site's own sitemap from index from on (none when the rules
  // ask for no audit); safe while the crawl runs.
  std::vector<AuditRow> AuditRows(size_t from) const { return check_.AuditRows(from); }

  // Replaces how pages are fetched (tests observe the addresses); set before RunCrawl.
  void SetPageFetcher(PageFetcher fetcher);

  // How long the crawl still holds back its requests because the site answered 429 or 503
  // (0: it does not); safe while the crawl runs.
  std::chrono::milliseconds PauseRemaining() { return fetch_.PauseRemaining(); }
  // Tries of one page a busy site (429, 503) gets: the first and three more.
  static constexpr int kBusyTries = PageFetch::kBusyTries;

 private:
  // Opens the site with the crawl's fetch, stop and rules, its requests on session.
  SiteOpener Opener(CHttpSession& session);
  // Fetches one path and admits its links: -70 empty path, -500 stopped, else 0.
  int32_t ProcessPage(const std::string& path, CHttpSession* session, PageScratch* scratch = nullptr);
  // Runs the worker threads until nothing waits and nothing runs, or a stop: -500 or 0.
  // Meanwhile the crawl thread hands over what waits longer than the interval.
  int32_t RunWorkers();
  // One worker: one session and one scratch for all its pages.
  void WorkLoop(CrawlScheduler& scheduler, CurlShare& share);
  // Follows the root's redirects within the site's host before the crawl; the address it ends
  // on becomes the crawl's origin and first page. Redirecting pages met on the way that lie
  // on that origin are recorded like redirects met during the crawl.
  int32_t OpenSite(const SiteOrigin& typed);
  // Judges one fetched page, records it and admits its links (or its redirect's target).
  // A worker's scratch (when there is one) is its storage for reading the page's links.
  // held: the large-page gate's turn the page took while it arrived, if it took one.
  void HandleResponse(const std::string& path, FetchedPage& page, PageScratch* scratch = nullptr,
                      std::optional<LargePageGate::Pass> held = std::nullopt);
  // The page's end in the ledger, and its result to the consumer unless it is left out.
  // auditDetail: the redirect's target or the other address its canonical names, for the audit;
  // saysNoindex: its meta robots says noindex, obeyed or not (the same).
  void Finish(PageResult result, UrlLedger::Ending how, const std::string& auditDetail = {}, bool saysNoindex = false);
  // Hands over the results that wait, when due (see ResultBatcher).
  void HandOverResults(bool last = false) { batcher_.HandOver(last); }

  // Restores the journal's crawl in place of OpenSite: resumed stays false when there is none
  // to go on with.
  int32_t ResumeSite(bool& resumed);

  std::shared_ptr<CSitemapData> data_;
  std::shared_ptr<CrawlResultConsumer> consumer_;
  std::atomic<bool> stopRequested_{false};
  ResultBatcher batcher_;
  // The crawl's pieces, each made after the pieces it is handed (and gone before them).
  PageFetch fetch_;
  RenderedLinks rendered_;
  ContentDating dating_;
  LinkAdmission admission_;
  SitemapCheck check_;
  LinkReader reader_;
};
