#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "crawl/CrawlStartParams.h"
#include "crawl/FetchedPage.h"
#include "crawl/RequestPacer.h"
#include "web/RobotsPolicy.h"
#include "web/SiteOrigin.h"
#include "web/http_options.h"

class CHttpSession;
class CurlShare;
class SitemapFeed;

// How a crawl asks its site for anything: every request waits its turn under the crawl's
// interval, a busy site (429, 503) holds the whole crawl back, and credentials and further
// headers go only to the site itself. Thread safe once Begin has run.
class PageFetch {
 public:
  // Fetches one full address into (header block, body); 0 on success, positive libcurl
  // codes and negative client codes otherwise.
  using Fetcher = std::function<int32_t(const std::string& address, std::string& headers, std::string& body)>;
  // Tries of one page a busy site (429, 503) gets: the first and three more.
  static constexpr int kBusyTries = 4;

  // params outlives the fetch; origin is where the crawl's root led (it may change until the
  // workers start); stopped ends waits and running transfers.
  PageFetch(const CrawlStartParams& params, std::function<SiteOrigin()> origin, std::function<bool()> stopped);
  ~PageFetch();
  PageFetch(const PageFetch&) = delete;
  PageFetch& operator=(const PageFetch&) = delete;

  // Replaces how pages are fetched (tests observe the addresses); set before Begin.
  void SetFetcher(Fetcher fetcher) { fetcher_ = std::move(fetcher); }
  // Before the crawl's first request: the pacing starts afresh and the cookie file is read.
  void Begin();

  // The options of the crawl's requests: the client follows no redirect, and a stop ends a
  // running transfer.
  http_options RequestOptions() const;
  // A session with the crawl's request options and its shared names, TLS sessions and cookies.
  void Prepare(CHttpSession& session);
  // The options the crawl was given, as given.
  const http_options& options() const { return httpOptions_; }
  CurlShare& share() { return *share_; }

  // Through the worker's session when there is one, so its connection is reused; every
  // request waits for its turn under the crawl's minimum interval.
  // A worker's receive room (reused) comes from storage when there is one.
  FetchedPage Fetch(const std::string& address, CHttpSession* session, std::string* storage = nullptr);
  // One sitemap document into feed, under the crawl's interval and stop.
  int32_t FetchDocument(const std::string& address, std::string& headers, SitemapFeed& feed, CHttpSession& session);
  // Waits for a request's turn made outside this fetch (the renderer's); false when stopped.
  bool WaitTurn();

  // The request interval the policy's Crawl-delay asks for, when the rules obey it.
  void UsePolicy(const RobotsPolicy& robots);
  // How long the crawl still holds back its requests because the site answered 429 or 503
  // (0: it does not).
  std::chrono::milliseconds PauseRemaining() { return pacer_.PauseRemaining(); }

 private:
  // One request in its turn, as Fetch makes it.
  void FetchOnce(const std::string& address, CHttpSession* session, FetchedPage& page);
  // Whether the site may be sent the credentials and further headers at address.
  bool MayAuthenticate(const std::string& address) const;
  // The interval between two requests the rules and the rate limit ask for.
  int32_t BaseIntervalMs() const;

  const CrawlStartParams& params_;
  std::function<SiteOrigin()> origin_;
  std::function<bool()> stopped_;
  Fetcher fetcher_;
  http_options httpOptions_;
  // Resolved names, TLS sessions and the cookie jar of every request of the crawl.
  std::unique_ptr<CurlShare> share_;
  SiteOrigin typedOrigin_;  // of the start address as typed, before any redirect
  RequestPacer pacer_;
};
