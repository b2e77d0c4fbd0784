#pragma once
// A site whose ordinary pages surround pages no crawler should choke on, each on its own
// path: pages of exactly 8 MiB and of 80 MiB, header lines without end, a 200 whose chunked
// body never ends, binary bytes sent as text/html, a character set nobody knows, 10,000 links
// on one page and links 100 KB long. Crawled with a maximum depth of 2, a correct crawl
// fetches every ordinary page once and ends each hostile one as a success or a failure with a
// code, within the client's time-outs; the page that outlasts the time limit fails with
// "curl 28", and the link that had arrived in it is not followed.
#include <set>
#include <string>

#include "support/RawHttpSite.h"

struct HostileSitePlan {
  std::set<std::string> successes;   // paths that must be crawled with "200", hostile ones among them
  std::set<std::string> anyOutcome;  // paths that must end as a success or with a failure code
  std::set<std::string> longLinks;   // the 100 KB paths among the successes
  std::set<std::string> timedOut;    // paths that must fail with "curl 28", the time limit's code
  std::set<std::string> unreached;   // linked only from a timed-out page: never requested
  int tooDeepLinks = 0;                 // links met at depth 3, counted but never fetched
};

struct HostileCases {
  bool hugePages = true;    // /big/8mib.html and /big/80mib.html
  bool endless = true;      // /endless/headers (fast, until the client's limit) and /endless/chunked
                            // (slow, until the client's total time-out, which fails it)
  bool oddText = true;      // /odd/binary.html and /odd/charset.html
  bool manyLinks = true;    // /deep/many.html with 10,000 links and /long/links.html
};

constexpr int kHostileMaxDepth = 2;
constexpr size_t kEightMiB = size_t(8) << 20;

// Routes the pages on a site that has not been started yet.
HostileSitePlan FillHostileSite(RawHttpSite& site, const HostileCases& cases = {});

// A page of exactly length bytes, made as it is sent: paragraphs of about textBytes of text,
// each with a link to "/"; the first paragraph links to firstLink.
RawHttpSite::Handler HugeHtmlPage(size_t length, const std::string& firstLink, size_t textBytes = 60);
