#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "web/PageOutcome.h"
#include "web/SitemapReader.h"

// What one row of the audit of a site's own sitemap says.
enum class AuditKind {
  Orphan,         // in their sitemap, on the site, linked from no crawled page
  Missing,        // crawled and in our sitemap, not in theirs
  Redirect,       // in theirs, answers 3xx
  Error,          // in theirs, answers 4xx or 5xx, or its transfer failed
  Noindex,        // in theirs, a noindex page
  Canonicalised,  // in theirs, its canonical names another address
  Blocked,        // in theirs, refused by robots.txt
  Offsite,        // in theirs, another host
  TooLong,        // in theirs, longer than the protocol allows
  Format,         // a fault of the document itself
};
inline constexpr size_t kAuditKindCount = 10;

struct AuditRow {
  AuditKind kind = AuditKind::Format;
  std::string address;    // the page, or for a Format row the document
  PageOutcome outcome;    // the page's answer; an answer without a status where there is none
  std::string detail;     // the redirect's target, the canonical address or the document it came from
  std::optional<SitemapFinding> finding;  // Format rows: what is wrong
};
