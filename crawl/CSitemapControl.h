#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crawl/CSitemapData.h"
#include "crawl/LargePageGate.h"
#include "crawl/RequestPacer.h"
#include "web/PageLinks.h"
#include "web/SiteOrigin.h"
#include "web/http_options.h"

class CHttpSession;
class CrawlScheduler;
class CurlShare;

// The crawl object: one per main window, reused by every crawl.
class CSitemapControl {
 public:
  // Fetches one full address into (header block, body); 0 on success, positive libcurl
  // codes and negative client codes otherwise. The default one uses a new CHttpSession.
  using PageFetcher = std::function<int32_t(const std::string& address, std::string& headers, std::string& body)>;

  // More pending results than this are handed to the main window by a worker.
  static constexpr size_t kHandOverThreshold = 200;

  CSitemapControl();
  CSitemapControl(const CSitemapControl&) = delete;
  CSitemapControl& operator=(const CSitemapControl&) = delete;

  // Runs a whole crawl on the calling thread (the crawl thread): -110, -80, -500 or 0.
  int32_t RunCrawl(const std::string& startUrl);
  // Fetches one path and admits its links: -70 empty path, -500 stopped, else 0.
  int32_t ProcessPage(const std::string& path);

  // A finished page's outcome, unless its path is excluded; the first result of a path stays.
  void RecordResult(const std::string& path, const std::string& code, const std::string& lastmod = "");
  // With more than 200 results pending, moves them to shownResults, posts WM_CRAWL_RESULTS
  // and waits until the main window has read them. One hand-over at a time; a worker that
  // finds another in progress leaves its entries pending for the next one.
  int32_t HandOverResults();
  // At crawl end: the remaining pending results go to the main window (no wait).
  int32_t FinalHandOver();

  CSitemapData& data() { return *data_; }
  const std::shared_ptr<CSitemapData>& sharedData() const { return data_; }

  // Copies taken under the shared side of hostLock.
  std::string Host() const;
  SiteOrigin Origin() const;

  // Replaces how pages are fetched (tests observe the addresses); set only while no crawl runs.
  void SetPageFetcher(PageFetcher fetcher);
  // The options of every request (time-outs, user agent, TLS checks); set only while no crawl
  // runs. Redirects are never followed by the client: the crawl admits their targets itself.
  void SetHttpOptions(const http_options& options);

 private:
  // One response as the client handed it over.
  struct FetchedPage {
    int32_t result = 0;
    std::string headers;
    std::string body;
  };

  // The options of the crawl's requests: the client follows no redirect, and a stop ends a
  // running transfer.
  http_options RequestOptions() const;
  // Through the worker's session when there is one, so its connection is reused; every
  // request waits for its turn under the crawl's minimum interval.
  FetchedPage Fetch(const std::string& address, CHttpSession* session);
  // The site's robots.txt, its redirects followed a few times, read into a policy.
  RobotsPolicy FetchRobots(const SiteOrigin& origin, CHttpSession& session);
  // The request interval the policy's Crawl-delay asks for, when the rules obey it.
  void UsePolicy(const RobotsPolicy& robots);
  // Whether the rules let the crawl request path.
  bool RobotsAllow(const std::string& path) const;
  int32_t ProcessPage(const std::string& path, CHttpSession* session);
  // Runs the worker threads until nothing waits and nothing runs, or a stop: -500 or 0.
  int32_t RunWorkers();
  // One worker: one session for all its pages.
  void WorkLoop(CrawlScheduler& scheduler, CurlShare& share);
  // Follows the root's redirects within the site's host before the crawl; the address it ends
  // on becomes the crawl's origin and first page. Redirecting pages met on the way that lie
  // on that origin are recorded like redirects met during the crawl.
  int32_t OpenSite(const SiteOrigin& typed);
  // Adds a page of level 0 that is being fetched before the crawl, as the root is; false when
  // the store held it already.
  bool SeedStartPage(const std::string& path);
  // Judges one fetched page, records it and admits its links (or its redirect's target).
  void HandleResponse(const std::string& path, FetchedPage& page);
  void AdmitLinks(const LinkSet& links, const std::string& parent);
  void AdmitLink(const std::string& link, const std::string& parent);
  void EndCrawl();
  void WaitUntilRead(uint64_t generation);

  std::shared_ptr<CSitemapData> data_;
  PageFetcher fetcher_;
  http_options httpOptions_;
  RequestPacer pacer_;
  LargePageGate parseGate_;
};
