#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What can be wrong with a site's sitemap document itself.
enum class SitemapFault {
  Namespace,           // the root's namespace is not the protocol's (value: the one found)
  Lastmod,             // a lastmod that is not W3C date-time (value)
  Changefreq,          // a changefreq the protocol does not know (value)
  Priority,            // a priority that is not 0.0 to 1.0 (value)
  TooManyAddresses,    // over kMaxAddresses entries: the rest was not read
  TooLarge,            // over 50 MB uncompressed: the rest was not read
  TooManyElements,     // far more elements than a sitemap has: not read
  NotWellFormed,       // not well-formed XML (line; value: the parser's words)
  NotSitemap,          // no urlset or sitemapindex root (value: the root found)
  Empty,               // no content at all
  NotGzip,             // starts as gzip, but is no gzip stream
  Truncated,           // a gzip stream cut short
  EntityDeclarations,  // a DOCTYPE declaring entities: not read, so none can be expanded
  NotAddress,          // a loc or a line that is no http(s) address (value)
  NotUtf8,             // not in UTF-8, read as GBK
  Duplicate,           // an address listed before (value: the address)
  IndexLoop,           // an index names a document already read (value: its address)
  TooManyDocuments,    // more than kMaxDocuments documents: the rest was not read
  Unreadable,          // the document could not be fetched (code given beside)
  NotFound,            // the site has none: robots.txt names none and no usual address answers
};

struct SitemapFinding {
  SitemapFault fault;
  int32_t line = 0;  // 0: none known
  std::string value;
};

// One address a document lists, and the line it is on (0 for none known).
struct SitemapListed {
  std::string address;
  int32_t line = 0;
};

// One document as read.
struct SitemapRead {
  enum class Form { None, UrlSet, Index, Text };
  Form form = Form::None;
  // The page addresses of a urlset or text sitemap, or the documents an index names.
  std::vector<SitemapListed> entries;
  std::vector<SitemapFinding> findings;
};

inline constexpr size_t kMaxSitemapAddresses = 50000;
inline constexpr size_t kMaxSitemapDocuments = 1000;
inline constexpr const char* kSitemapNamespace = "http://www.sitemaps.org/schemas/sitemap/0.9";

// Reads one document's text (already inflated): a urlset, a sitemapindex, or a text sitemap
// (one address a line). At most kMaxSitemapAddresses entries are kept. Never throws; any
// text gives a result.
SitemapRead ReadSitemapDocument(const std::string& text);

// The addresses of robots.txt's Sitemap: lines (they belong to no group), in file order.
std::vector<std::string> RobotsSitemapLines(std::string_view robots);

// Whether text is a W3C date-time (YYYY, YYYY-MM, YYYY-MM-DD, then Thh:mm, :ss and a
// fraction, with a time zone Z or +hh:mm).
bool IsW3cDateTime(std::string_view text);
