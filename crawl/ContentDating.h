#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "crawl/ContentChange.h"
#include "crawl/CrawlPortion.h"
#include "crawl/FetchedPage.h"
#include "crawl/SitemapContent.h"
#include "web/SiteOrigin.h"

class PageHistory;

// A crawl's pages dated as the sitemap content asks: from the server's Last-Modified, or from
// their content against the site's history, which opens once the origin is known and is
// written back when the crawl ends or stops. Judging is thread safe; Open, Restore and Close
// run on the crawl thread while no worker runs.
class ContentDating {
 public:
  ContentDating(LastmodSource source, std::string historyFolder);
  ~ContentDating();
  ContentDating(const ContentDating&) = delete;
  ContentDating& operator=(const ContentDating&) = delete;

  // Opens the site's history once its origin is known, when lastmod comes from content.
  void Open(const SiteOrigin& origin);
  // The pages a resumed crawl judged before its stop keep their verdicts.
  void Restore(const std::vector<PageResult>& results);
  // The hash the history judges a body by; empty when there is no history.
  std::string HashOf(const std::string& body) const;
  // The page's lastmod as the source asks, and under content its hash and verdict.
  void DateFromSource(const std::string& path, const FetchedPage& page, const std::string& hash,
                      PageResult& result);
  // Writes the history at the crawl's end (complete) or stop, and keeps what changed.
  void Close(bool complete);
  // Once closed: what changed since the site's last crawl, and what became of its history.
  ContentChanges Changes() const;

 private:
  const LastmodSource source_;
  const std::string historyFolder_;
  std::unique_ptr<PageHistory> history_;
  mutable std::mutex changesLock_;  // guards changes_
  ContentChanges changes_;
};
