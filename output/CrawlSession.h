#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "crawl/CrawlResultConsumer.h"
#include "crawl/CrawlStartParams.h"

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

  CSitemapControl& control() const { return *control_; }
  const std::shared_ptr<CrawlResults>& results() const { return results_; }
  CThreadControlSitemap& thread() const { return *thread_; }

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
