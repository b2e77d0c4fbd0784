#pragma once
#include <string>

#include "support/StaticSite.h"

// A site with a sitemap of its own that is wrong in every way the audit reports. Its
// robots.txt (Disallow: /private/) names an index of two documents, one gzip and one plain,
// and an index on another server; the index also names itself and a document elsewhere.
// The other server (127.0.0.1 on another port, so another site) must never be asked for anything.
//
//   orphan        /orphan.html (200, links to /never.html), /gone.html (404) only the sitemap names
//   missing       /b.html, linked from the root, not in their sitemap
//   redirect      /moved.html 301 -> /a.html
//   error         /gone.html 404
//   noindex       /noindex.html
//   canonicalised /canon.html names /a.html
//   blocked       /private/secret.html (also linked from the root)
//   offsite       the other server's /x.html, and its elsewhere.xml named by robots.txt
//   toolong       one address over 2,048 characters
//   format        https namespace (sm2), a bad lastmod, changefreq and priority, /a.html listed
//                 twice, the index naming itself
class AuditSite {
 public:
  AuditSite();
  bool Start();
  std::string origin() const { return site.origin(); }
  std::string At(const std::string& path) const { return site.origin() + path; }
  std::string Other(const std::string& path) const { return other.origin() + path; }
  std::string LongAddress() const;

  StaticSite site;
  StaticSite other;
};
