#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crawl/CSitemapData.h"
#include "web/SiteOrigin.h"

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

  // A finished page's outcome, unless its path is excluded; the first code of a path stays.
  void RecordResult(const std::string& path, const std::string& code);
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

 private:
  int32_t FetchPage(const std::string& address, std::string& headers, std::string& body) const;
  void AdmitLinks(const StringISet& links, const std::string& parent);
  void AdmitLink(const std::string& link, const std::string& parent);
  int32_t RunBatches();
  void RunBatch(const std::vector<std::string>& batch, size_t count);
  void EndCrawl();
  void WaitUntilRead(uint64_t generation);

  std::shared_ptr<CSitemapData> data_;
  PageFetcher fetcher_;
};
