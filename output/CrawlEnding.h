#pragma once
#include <cstdint>
#include <string>

class CrawlResults;

// How a crawl ended, as the front ends tell the user.
struct CrawlEnding {
  enum class Kind {
    Ended,           // it ran to its end and fetched pages
    Stopped,         // the user stopped it
    Unreachable,     // the site answered nothing: refused, unknown host, TLS, time-out
    NothingFetched,  // the site answered, but no page could be fetched
  };
  Kind kind = Kind::Ended;
  std::string code;    // the start page's failure code, for the last two kinds
  std::wstring cause;  // its description, for the last two kinds

  // One short sentence for the status line.
  std::wstring StatusText() const;
  // The message that explains a crawl that fetched nothing, naming the cause.
  std::wstring Message(const std::string& address) const;
};

// outcome is the crawl's result (0, or rc::kStopped when it was stopped).
CrawlEnding DescribeEnding(const CrawlResults& results, int32_t outcome);
