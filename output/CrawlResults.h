#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "crawl/ContentChange.h"
#include "crawl/CrawlPortion.h"
#include "crawl/SitemapContent.h"
#include "output/FileWriteResult.h"
#include "web/SiteOrigin.h"

class CSitemapXmlWriter;

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
  // The sitemap's pages, full and in byte order, each once: what is pushed to search engines.
  std::vector<std::string> SitemapAddresses() const;
  // What to tell the search engines: the sitemap's pages, or under lastmod from content only
  // its new and changed ones.
  std::vector<std::string> PushAddresses() const;
  // The first failure (the start page's, when nothing was fetched), if there is one.
  std::optional<FailedPage> FirstFailure() const;
  // Copies of the failures, in the order they came.
  std::vector<FailedPage> Failures() const;
  // The crawl's site as the files are named: host, and "_port" when the port is not the
  // scheme's default; empty before the first portion.
  std::string SiteName() const;
  SiteOrigin origin() const;
  // The sitemap documents; null once released.
  std::shared_ptr<CSitemapXmlWriter> sitemap() const;

  // The three files in dir (an existing folder), named after SiteName(). Each returns ok or
  // the failure with its file and cause; every file is written beside its name and moved over it once
  // complete, so a failed save leaves an existing file as it was. When result is given it
  // receives the outcome: for a failure the (first) file that failed and why.
  // With index set, several documents also get <site>_sitemap_index.xml naming them.
  Status SaveSitemap(const std::string& dir, bool gzip, FileWriteResult* result = nullptr, bool index = false,
                     std::vector<std::string>* savedNames = nullptr) const;
  Status SaveUrlList(const std::string& dir, FileWriteResult* result = nullptr) const;
  Status SaveFailures(const std::string& dir, FileWriteResult* result = nullptr) const;
  // <site>_deadlinks.txt: the full address of every page that answered 404 or 410 (with
  // everyFailure, of every failure), one a line, percent-encoded, as Baidu's dead-link
  // submission takes them.
  Status SaveDeadLinks(const std::string& dir, bool everyFailure, FileWriteResult* result = nullptr) const;
  // <site>_sitemap.html (numbered pages beyond 50,000 entries): the sitemap's pages by folder,
  // each with its title when the crawl collected them.
  Status SaveHtmlSitemap(const std::string& dir, FileWriteResult* result = nullptr,
                         std::vector<std::string>* savedNames = nullptr) const;
  // Frees the sitemap documents once they are saved (they are by far the largest part).
  void ReleaseSitemap();

  // Under lastmod from content, once the crawl has ended: what changed since the last crawl.
  void SetChanges(ContentChanges changes);
  ContentChanges changes() const;
  // <site>_changes.tsv: kind TAB address TAB lastmod, one line each (new, changed, gone);
  // kMissing when the crawl judged no content.
  Status SaveChanges(const std::string& dir, FileWriteResult* result = nullptr) const;
  // <site>_changed_sitemap0.xml ...: the sitemap of the new and changed pages alone; the
  // fetched lists are all it needs, so it may follow ReleaseSitemap.
  Status SaveChangedSitemap(const std::string& dir, bool gzip, FileWriteResult* result = nullptr) const;

  static std::string UrlListName(const std::string& site) { return site + "_urls.txt"; }
  static std::string FailureListName(const std::string& site) { return site + "_failed.tsv"; }
  static std::string ChangesName(const std::string& site) { return site + "_changes.tsv"; }
  static std::string ChangedSitemapPrefix(const std::string& site) { return site + "_changed"; }
  static std::string DeadLinkListName(const std::string& site) { return site + "_deadlinks.txt"; }

 private:
  // Calls fn(address, index) for each fetched address in order while it returns true; false
  // when fn stopped it. Under lock_.
  template <class Fn>
  void ForEachSitemapPage(Fn fn) const;
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

  // Adds the sitemap's pages to writer in byte order, only those in only when it is given.
  // Under lock_.
  void FillSorted(CSitemapXmlWriter& writer, const std::set<std::string>* only) const;

  SitemapContent content_;  // what the entries hold
  std::string date_;        // the lastmod of entries without their own
  mutable std::mutex lock_;  // guards everything below
  std::shared_ptr<CSitemapXmlWriter> writer_;
  SiteOrigin origin_;
  // The fetched addresses, each followed by a NUL: one buffer instead of one string each.
  std::string okAddresses_;
  size_t okCount_ = 0;
  std::vector<FailedPage> failures_;
  std::map<std::string, std::string> lastmods_;  // the addresses that have their own lastmod
  // Aligned with the fetched addresses: each one's link depth, or kNotInSitemap for a page
  // the sitemap leaves out (its canonical is another page).
  static constexpr int32_t kNotInSitemap = -1;
  std::vector<int32_t> okDepths_;
  std::map<std::string, LanguageAlternates> alternates_;  // the pages that name some
  std::map<std::string, std::vector<std::string>> images_;  // the pages that show some
  std::map<std::string, std::string> titles_;  // the sitemap's pages that have a title, when collected
  size_t tooLong_ = 0;
  ContentChanges changes_;
};

// host, and "_" with the port when it is not the scheme's default; an IPv6 host without its
// brackets and with "-" for ":" ("[::1]:81" gives "--1_81").
std::string SiteFileName(const SiteOrigin& origin);
