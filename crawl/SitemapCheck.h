#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crawl/AuditRow.h"
#include "crawl/CrawlPortion.h"
#include "crawl/UrlLedger.h"
#include "web/SiteOrigin.h"

class CHttpSession;
class CSitemapData;
class LinkAdmission;
class PageFetch;
class SitemapAudit;

// A crawl's check of the site's own sitemap, when the rules ask for it: the sitemaps read
// before the workers start, every finished page noted, and afterwards the pages only their
// sitemap names fetched without following their links. Without the audit every call does
// nothing. Noting and the rows are thread safe.
class SitemapCheck {
 public:
  // fetch and admission are the crawl's; stopped ends reading and the orphans' fetching.
  SitemapCheck(CSitemapData& data, PageFetch& fetch, LinkAdmission& admission, std::function<bool()> stopped);
  ~SitemapCheck();
  SitemapCheck(const SitemapCheck&) = delete;
  SitemapCheck& operator=(const SitemapCheck&) = delete;

  bool active() const { return static_cast<bool>(audit_); }
  // Whether the crawl follows the links of the page at path: an orphan of their sitemap is
  // only checked.
  bool Follows(const std::string& path) const;
  // A page of the crawl has finished (see SitemapAudit::Note).
  void Note(const PageResult& result, UrlLedger::Ending how, bool listed, const std::string& detail,
            bool saysNoindex = false);
  // The pages a resumed crawl finished before, judged like new ones (their redirects' targets
  // and canonical addresses are not journaled).
  void NoteReplayed(const std::vector<PageResult>& results);

  // The site's own sitemaps, read into the audit before the workers start.
  void ReadSiteSitemaps(CHttpSession& session, const SiteOrigin& origin);
  // The addresses only their sitemap names, fetched by runWorkers without following their
  // links: -500 or 0.
  int32_t FetchOrphans(const std::function<int32_t()>& runWorkers);

  // The rows from index from on (none without the audit).
  std::vector<AuditRow> AuditRows(size_t from) const;

 private:
  CSitemapData& data_;
  PageFetch& fetch_;
  LinkAdmission& admission_;
  std::function<bool()> stopped_;
  std::unique_ptr<SitemapAudit> audit_;  // when the rules ask for it; made before the crawl runs
};
