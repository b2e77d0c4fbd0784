#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "crawl/CrawlPortion.h"
#include "output/FileWriteResult.h"
#include "web/SiteOrigin.h"

class CSitemapXmlWriter;
struct SitemapContent;

// One failure as the failure page and the failure file show it.
struct FailureRecord {
  std::string path;
  std::string code;
  std::string foundOn;  // full address of the page whose link admitted it; empty: none
  std::string redirectTo;  // where a failing redirect pointed; empty: not a redirect
};

// What one crawl produced: the fetched addresses in fetch order, the failures in the order
// they came, and the XML sitemap documents. A crawl fills it from its threads while the
// window's pages, Save, auto-save and the command read it.
class CrawlResults {
 public:
  CrawlResults();
  // With a fixed lastmod for the sitemap's entries (comparable files).
  explicit CrawlResults(const std::string& lastmod);
  // With what the sitemap's entries hold (an empty lastmod: today's date).
  explicit CrawlResults(const SitemapContent& content, const std::string& lastmod = "");
  ~CrawlResults();
  CrawlResults(const CrawlResults&) = delete;
  CrawlResults& operator=(const CrawlResults&) = delete;

  // A portion of the crawl whose pages live on origin.
  void AddPortion(const CrawlPortion& portion, const SiteOrigin& origin);
  // Where the files are named after when no portion came (nothing was crawled).
  void SetOrigin(const SiteOrigin& origin);
  // At the crawl's end: the sitemap documents are written again with every address in byte
  // order, so two crawls of an unchanged site give the same files whatever order the pages
  // came in. Until then they follow the portions, as the window shows them.
  void SortSitemap();

  size_t okCount() const;
  size_t failureCount() const;
  // Pages fetched and listed, but left out of the sitemap as their address is too long for it.
  size_t tooLongCount() const;
  // Copies, in the order they came.
  std::vector<std::string> FetchedAddresses() const;
  // The first failure (the start page's, when nothing was fetched), if there is one.
  std::optional<std::pair<std::string, std::string>> FirstFailure() const;
  // The same with where it was found and where it pointed.
  std::optional<FailureRecord> FirstFailureRecord() const;
  // The failures with the full address of the page whose link admitted each (empty for a
  // start address).
  std::vector<FailureRecord> FailureRecords() const;
  // The crawl's site as the files are named: host, and "_port" when the port is not the
  // scheme's default; empty before the first portion.
  std::string SiteName() const;
  SiteOrigin origin() const;
  // The sitemap documents; null once released.
  std::shared_ptr<CSitemapXmlWriter> sitemap() const;

  // The three files in dir (an existing folder), named after SiteName(). Each returns 0 or
  // a negative code; every file is written beside its name and moved over it once
  // complete, so a failed save leaves an existing file as it was. When result is given it
  // receives the outcome: for a failure the (first) file that failed and why.
  // With index set, several documents also get <site>_sitemap_index.xml naming them.
  int32_t SaveSitemap(const std::string& dir, bool gzip, FileWriteResult* result = nullptr, bool index = false,
                      std::vector<std::string>* savedNames = nullptr) const;
  int32_t SaveUrlList(const std::string& dir, FileWriteResult* result = nullptr) const;
  int32_t SaveFailures(const std::string& dir, FileWriteResult* result = nullptr) const;
  // Frees the sitemap documents once they are saved (they are by far the largest part).
  void ReleaseSitemap();

  static std::string UrlListName(const std::string& site) { return site + "_urls.txt"; }
  static std::string FailureListName(const std::string& site) { return site + "_failed.tsv"; }

 private:
  // Calls fn(address, index) for each fetched address in order while it returns true; false
  // when fn stopped it. Under lock_.
  template <class Fn>
  bool ForEachFetched(Fn fn) const {
    size_t index = 0;
    for (size_t start = 0; start < okAddresses_.size(); ++index) {
      const size_t end = okAddresses_.find('\0', start);
      if (!fn(std::string_view(okAddresses_).substr(start, end - start), index)) return false;
      start = end + 1;
    }
    return true;
  }

  mutable std::mutex lock_;  // guards everything below
  std::shared_ptr<CSitemapXmlWriter> writer_;
  SiteOrigin origin_;
  // The fetched addresses, each followed by a NUL: one buffer instead of one string each.
  std::string okAddresses_;
  size_t okCount_ = 0;
  std::vector<std::pair<std::string, std::string>> failures_;
  std::map<std::string, std::string> lastmods_;  // the addresses that have their own lastmod
  // Aligned with the fetched addresses: each one's link depth, or kNotInSitemap for a page
  // the sitemap leaves out (its canonical is another page).
  static constexpr int32_t kNotInSitemap = -1;
  std::vector<int32_t> okDepths_;
  std::map<std::string, LanguageAlternates> alternates_;  // the pages that name some
  std::vector<std::string> failureParents_;  // aligned with failures_
  std::vector<std::string> failureTargets_;  // aligned with failures_
  size_t tooLong_ = 0;
};

// host, and "_" with the port when it is not the scheme's default; an IPv6 host without its
// brackets and with "-" for ":" ("[::1]:81" gives "--1_81").
std::string SiteFileName(const SiteOrigin& origin);
