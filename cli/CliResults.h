#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "crawl/CrawlPortion.h"
#include "output/FileWriteResult.h"

class CSitemapXmlWriter;

// What the window's result pages would hold, for the files written at the end: the XML
// sitemap writer, the URL list in arrival order and the failures in arrival order.
class CliResults {
 public:
  CliResults();
  ~CliResults();
  CliResults(const CliResults&) = delete;
  CliResults& operator=(const CliResults&) = delete;

  // The share of WM_CRAWL_RESULTS that the URL list, failure and sitemap pages take.
  void AddPortion(const CrawlPortion& portion);
  // WM_CRAWL_RESET: the URL list and the failures are emptied (the writer keeps its
  // documents, as the window's does).
  void ClearLists();

  size_t okCount() const { return okCount_; }
  size_t failureCount() const { return failures_.size(); }

  // The three files in dir (an existing folder). Each returns 0 or a negative code; every
  // file is written beside its name and moved over it once complete, so a failed save
  // leaves an existing file as it was. When result is given it receives the outcome: for a
  // failure the (first) file that failed and why.
  // With a site root address, several documents also get host_sitemap_index.xml naming them.
  int32_t SaveSitemap(const std::string& dir, const std::string& host, bool gzip, FileWriteResult* result = nullptr,
                      const std::string& indexRoot = "");
  int32_t SaveUrlList(const std::string& dir, const std::string& host, FileWriteResult* result = nullptr) const;
  int32_t SaveFailures(const std::string& dir, const std::string& host, FileWriteResult* result = nullptr) const;
  // Frees the sitemap documents once they are saved (they are by far the largest part).
  void ReleaseSitemap();

  static std::string UrlListName(const std::string& host) { return host + "_urls.txt"; }
  static std::string FailureListName(const std::string& host) { return host + "_failed.tsv"; }

 private:
  std::unique_ptr<CSitemapXmlWriter> writer_;
  // The fetched addresses, each followed by a NUL: one buffer instead of one string each.
  std::string okAddresses_;
  size_t okCount_ = 0;
  std::vector<std::pair<std::string, std::string>> failures_;
};
