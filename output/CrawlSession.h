#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crawl/AuditRow.h"
#include "crawl/CrawlCounters.h"
#include "crawl/CrawlResultConsumer.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/JournalNotice.h"
#include "crawl/RenderStop.h"

class CSitemapControl;
class CThreadControlSitemap;
class CrawlResults;

// One crawl with its results: the crawl object, its thread and its result record. The
// window, the command and the tests all start crawls through Start. Every portion goes into
// the record first and then to the front end's consumer, so what the record holds never
// depends on a front end.
class CrawlSession {
 public:
  // Runs on the new crawl before its thread starts (tests replace how pages are fetched).
  using Prepare = std::function<void(CSitemapControl&)>;

  // Null when no thread could be started. frontEnd may be null.
  static std::shared_ptr<CrawlSession> Start(const CrawlStartParams& params,
                                             std::shared_ptr<CrawlResultConsumer> frontEnd,
                                             const Prepare& prepare = {});
  ~CrawlSession();
  CrawlSession(const CrawlSession&) = delete;
  CrawlSession& operator=(const CrawlSession&) = delete;

  const std::shared_ptr<CrawlResults>& results() const { return results_; }
  // What the front ends show while the crawl runs; safe from any thread.
  CrawlCounters counters() const;
  // The crawl thread's state: 1 running, 2 stopped or ended.
  int32_t state() const;
  // Why pages are not rendered although the rules ask for it.
  RenderStop renderStop() const;
  // Whether the page limit left addresses unfetched.
  bool pageLimitReached() const;
  // The query parameter that seems to make endless addresses (empty: none).
  std::string repeatedParameter() const;
  // Why the crawl's journal does not hold the whole crawl: if cut off, it cannot be resumed,
  // or only from where the journal stopped.
  JournalNotice journalProblem() const;
  // How long the crawl still holds back its requests to a busy site (0: it does not).
  std::chrono::milliseconds pauseRemaining() const;
  // The audit of the site's own sitemap, its rows from index from on (none without the setting).
  std::vector<AuditRow> auditRows(size_t from = 0) const;
  // The site's robots.txt was read and names no sitemap: the front ends offer the line to add.
  bool robotsTxtLacksSitemap() const;
  const CrawlStartParams& params() const;
  // True when the crawl's thread has ended within timeout (the program may then quit).
  bool ThreadEnded(std::chrono::milliseconds timeout) const;
  // The crawl itself, for tests that look inside it; the front ends use the calls above.
  CSitemapControl& control() const { return *control_; }

  // Asks the crawl to stop; returns at once.
  void Stop();
  // The crawl has ended and its consumer was told.
  bool finished() const;
  // Its RunCrawl result once finished.
  int32_t outcome() const;
  // True when the crawl has finished within timeout.
  bool WaitFinished(std::chrono::milliseconds timeout) const;

 private:
  struct Ending;
  class Recorder;
  CrawlSession() = default;

  std::shared_ptr<Ending> ending_;
  std::shared_ptr<CrawlResults> results_;
  std::shared_ptr<CSitemapControl> control_;
  std::shared_ptr<CThreadControlSitemap> thread_;
};
