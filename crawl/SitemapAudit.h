#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "crawl/AuditRow.h"
#include "crawl/CrawlPortion.h"
#include "crawl/QueryRules.h"
#include "crawl/UrlLedger.h"
#include "web/RobotsPolicy.h"
#include "web/SiteOrigin.h"
#include "web/SitemapReader.h"

// The audit of a site's own sitemap against one crawl: the addresses their sitemap lists,
// the pages the crawl finished, and the rows that tell where the two disagree. The sitemap is
// read before the workers start; the crawl's pages are noted as they finish (those finished
// earlier are kept until the sitemap is read). Thread safe.
class SitemapAudit {
 public:
  // The most addresses kept from all documents together.
  static constexpr size_t kMaxEntries = 1000000;

  explicit SitemapAudit(QueryRules rules);

  // The crawl's origin and the site's robots.txt, whatever the crawl's rules (its refusals are
  // reported); before any document.
  void SetSite(SiteOrigin origin, RobotsPolicy robots);
  // A document read: its faults become rows, its addresses the site's entries. Returns the
  // documents an index names.
  std::vector<std::string> AddDocument(const std::string& document, const SitemapRead& read);
  void AddRow(AuditRow row);
  // Every document is read: the pages noted before are judged now.
  void Loaded();

  // A page of the crawl has finished: listed, it went into the results; detail is its
  // redirect's target or the other address its canonical names (empty: none); saysNoindex,
  // its meta robots says noindex (obeyed or not).
  void Note(const PageResult& result, UrlLedger::Ending how, bool listed, const std::string& detail,
            bool saysNoindex = false);

  // The on-site paths of their sitemap, as the crawl names its pages.
  std::vector<std::string> Paths() const;
  // An entry the crawl never met is fetched as an orphan (or could not be: fetched false).
  void MarkOrphan(const std::string& path, bool fetched);
  bool IsOrphan(const std::string& path) const;
  // The orphans that were to be fetched and were not (a stop, the page limit) get their rows.
  void EndOrphans();

  // The rows from index from on, in the order they were found.
  std::vector<AuditRow> RowsSince(size_t from) const;
  size_t RowCount() const;

 private:
  struct Entry {
    std::string address;  // as their sitemap writes it
    uint32_t document = 0;
    bool orphan = false;  // fetched after the crawl, as nothing links to it
    bool done = false;    // its page has been noted
  };
  struct EarlyNote {
    PageResult result;
    UrlLedger::Ending how;
    bool listed;
    std::string detail;
    bool saysNoindex;
  };
  void AddEntry(const SitemapListed& listed, uint32_t document);
  void NoteLocked(const PageResult& result, UrlLedger::Ending how, bool listed, const std::string& detail,
                  bool saysNoindex);
  void FormatRow(uint32_t document, SitemapFinding finding);

  const QueryRules rules_;
  mutable std::mutex lock_;  // guards everything below
  SiteOrigin origin_;
  RobotsPolicy robots_;
  std::vector<std::string> documents_;
  std::unordered_map<std::string, Entry> entries_;  // by path
  bool loaded_ = false;
  bool full_ = false;
  std::vector<EarlyNote> early_;
  std::vector<AuditRow> rows_;
};
