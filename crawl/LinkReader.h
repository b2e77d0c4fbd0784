#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "crawl/CrawlStartParams.h"
#include "crawl/FetchedPage.h"
#include "crawl/LargePageGate.h"
#include "web/PageLinks.h"
#include "web/SiteOrigin.h"

class RenderedLinks;
struct PageScratch;

// Reads the links of a crawl's fetched pages: the served page's under the large-page gate, so
// that workers on large pages do not all hold and parse one at once, then the rendered
// document's when the rules render pages. Thread safe.
class LinkReader {
 public:
  // audited: the audit of the site's own sitemap reads canonical and noindex too; totalTimeout:
  // a transfer's time limit in seconds; stopped ends a wait at the gate.
  LinkReader(const CrawlStartParams& params, bool audited, int32_t totalTimeout, RenderedLinks& rendered,
             std::function<bool()> stopped);

  // For a worker's session while a page arrives: a body over a MiB takes its turn at the gate
  // before it is held whole, and keeps it in held until its links are read.
  std::function<bool()> HoldLargeBody(std::optional<LargePageGate::Pass>& held);
  // The links of a page that answered with a body; held: the turn it took while it arrived.
  // The body is released (a worker's scratch keeps the room of a page of the usual size).
  // False when a stop left the page's links unknown.
  bool Read(const SiteOrigin& origin, const std::string& address, FetchedPage& page, PageScratch* scratch,
            std::optional<LargePageGate::Pass> held, PageLinks& links);

 private:
  LinkOptions options_;
  const int32_t totalTimeout_;
  RenderedLinks& rendered_;
  std::function<bool()> stopped_;
  LargePageGate parseGate_;
};
