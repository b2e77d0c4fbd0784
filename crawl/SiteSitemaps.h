#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "crawl/FetchedPage.h"
#include "crawl/SitemapAudit.h"
#include "web/SiteOrigin.h"
#include "web/SitemapFeed.h"

// Finds and reads a site's own sitemaps into an audit: the Sitemap: lines of its robots.txt,
// else the first of /sitemap.xml, /sitemap_index.xml and /sitemap.txt that answers; indexes
// are followed, at most kMaxSitemapDocuments documents in all, each fetched once. Documents
// on other hosts, and addresses that are none, are reported and not fetched.
class SiteSitemaps {
 public:
  // A whole small answer (robots.txt), as the crawl's client gives it.
  using Fetch = std::function<FetchedPage(const std::string& address)>;
  // A document's body into feed as it arrives; returns the client's code, headers as Fetch's.
  using FetchDocument = std::function<int32_t(const std::string& address, std::string& headers, SitemapFeed& feed)>;
  struct Hooks {
    Fetch fetch;
    FetchDocument fetchDocument;
    std::function<bool()> stopped;
    // Whether the crawl's rules let it request a path of the site (robots.txt when obeyed).
    std::function<bool(const std::string& path)> mayRequest;
    std::string productToken;  // robots.txt groups are matched by it
  };

  explicit SiteSitemaps(Hooks hooks);
  // Reads everything into audit and tells it Loaded(), a stop too.
  void Read(const SiteOrigin& origin, SitemapAudit& audit);

 private:
  struct Named {
    std::string address;
    std::string namedBy;  // "robots.txt", or the index that names it
  };
  // Fetches one document, following a few redirects on the site. False (without a row) when
  // a probe finds nothing there; otherwise read holds the document's text.
  bool FetchOne(const SiteOrigin& origin, const Named& named, bool probe, SitemapAudit& audit,
                std::string& read);

  Hooks hooks_;
};
