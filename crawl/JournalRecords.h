#pragma once
// The text forms of a crawl journal's records, written and read back in one place so the
// two never drift apart.
#include <cstdint>
#include <string>

#include "crawl/CrawlPortion.h"
#include "crawl/CrawlStartParams.h"
#include "store/url_prop.h"
#include "web/PageOutcome.h"
#include "web/SiteOrigin.h"

// An admitted address: url_prop's text form (depth, state, flag, code), then how it was
// counted and the page it was found on.
struct JournalAdmit {
  url_prop record;
  int32_t admission = 0;
  std::string parent;
};

// A result: depth, state, listing, code, lastmod, the code's description, the path, the page
// it was found on, its language alternates.
struct JournalResult {
  int32_t depth = 0;
  int32_t state = 0;
  int32_t listing = 0;
  PageOutcome outcome;
  std::string lastmod;
  std::string description;
  std::string path;
  std::string parent;
  LanguageAlternates alternates;
  std::string contentHash;  // absent in journals from before lastmod from content
  ContentChange contentChange = ContentChange::Unknown;
  std::string title;
  std::vector<std::string> images;  // absent in journals from before image entries
};

// The start record: every setting of the crawl but its request options and the journal's own
// place, so that a resumed crawl runs, and writes, as the crawl it goes on with.
std::string StartText(const CrawlStartParams& params);
bool ReadStart(const std::string& text, CrawlStartParams& params);
std::string OriginText(const SiteOrigin& origin);
bool ReadOrigin(const std::string& text, SiteOrigin& origin);
// admission as CrawlJournal::Admission; false when it could not be written.
bool AdmitText(const std::string& parent, int32_t depth, int32_t admission, bool excluded, std::string& text);
bool ReadAdmit(const std::string& text, JournalAdmit& admit);
// listing as CrawlJournal::Listing, state Crawled or Failed; false when it could not be written.
bool ResultText(const PageResult& result, int32_t state, int32_t listing, std::string& text);
bool ReadResult(const std::string& text, JournalResult& result);
