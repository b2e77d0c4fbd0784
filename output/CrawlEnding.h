#pragma once
#include <cstdint>
#include <string>

#include "web/PageOutcome.h"

class CrawlResults;

// How a crawl ended: a kind and, when nothing was fetched, the start page's outcome. The
// front ends word it (texts/CrawlStatusText.h).
struct CrawlEnding {
  enum class Kind {
    Ended,           // it ran to its end and fetched pages
    Stopped,         // the user stopped it
    Unreachable,     // the site answered nothing: refused, unknown host, TLS, time-out
    NothingFetched,  // the site answered, but no page could be fetched
  };
  Kind kind = Kind::Ended;
  PageOutcome outcome;     // the start page's, for the last two kinds (none: no page failed)
  std::string address;     // the full address that failed (after the start's redirects)
  std::string redirectTo;  // where it pointed, when it was a redirect that was not followed

  // Nothing was fetched, for whichever reason.
  bool FetchedNothing() const { return kind == Kind::Unreachable || kind == Kind::NothingFetched; }
};

// outcome is the crawl's result (0, or rc::kStopped when it was stopped).
CrawlEnding DescribeEnding(const CrawlResults& results, int32_t outcome);
