#include "crawl/LinkReader.h"

#include <algorithm>
#include <boost/thread/thread.hpp>
#include <chrono>

#include "crawl/RenderedLinks.h"
#include "web/CRobotsTxt.h"
#include "web/LinkExtractor.h"
#include "web/PageScratch.h"
#include "web/RecvBuffer.h"

// As many large pages parsed at once as there are processors to parse them.
LinkReader::LinkReader(const CrawlStartParams& params, bool audited, int32_t totalTimeout, RenderedLinks& rendered,
                       std::function<bool()> stopped)
    : totalTimeout_(totalTimeout),
      rendered_(rendered),
      stopped_(std::move(stopped)),
      parseGate_(std::max(2u, boost::thread::hardware_concurrency())) {
  options_.obeyRobots = params.rules.obeyRobots;
  options_.productToken = RobotsProductToken(params.rules.userAgent);
  // The audit reports a canonical naming another page; only the setting acts on it.
  options_.readCanonical = params.sitemap.canonicalOnly || audited;
  options_.readNoindex = audited;
  options_.readAlternates = params.sitemap.languageAlternates;
  options_.readTitle = params.sitemap.htmlPage;
  options_.readImages = params.sitemap.images;
}

std::function<bool()> LinkReader::HoldLargeBody(std::optional<LargePageGate::Pass>& held) {
  return [this, &held] {
    // The transfer's time limit runs while it waits: after half of it the page is held
    // without a turn (and takes one before it is parsed) rather than fail for waiting.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(1, totalTimeout_)) / 2;
    LargePageGate::Pass pass = parseGate_.Enter(RecvBuffer::kLargeBody + 1, [this, giveUp] {
      return stopped_() || std::chrono::steady_clock::now() > giveUp;
    });
    if (pass) held.emplace(std::move(pass));
    return static_cast<bool>(held) || !stopped_();
  };
}

bool LinkReader::Read(const SiteOrigin& origin, const std::string& address, FetchedPage& page, PageScratch* scratch,
                      std::optional<LargePageGate::Pass> held, PageLinks& links) {
  bool parsed = false;
  {
    LargePageGate::Pass pass = held ? std::move(*held) : parseGate_.Enter(page.body.size(), stopped_);
    if (pass && scratch) ExtractLinks(page.headers, page.body, origin, address, links, options_, *scratch);
    else if (pass) ExtractLinks(page.headers, page.body, origin, address, links, options_);
    parsed = static_cast<bool>(pass);
  }
  // A render the stop cut short leaves the page's links unknown, as an unparsed page's are.
  if (parsed && rendered_.active()) parsed = rendered_.AddRenderedLinks(address, page, links, options_, scratch);
  // The links are all that is needed of a page from here on; a worker keeps the room of a
  // page of the usual size for its next one.
  if (scratch && page.body.capacity() <= PageScratch::kKeptBytes) scratch->body.swap(page.body);
  else std::string().swap(page.body);
  return parsed;
}
