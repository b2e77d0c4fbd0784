#pragma once
#include <memory>
#include <string>
#include <string_view>

// An http or https address taken apart, as it will be requested.
struct WebAddress {
  std::string scheme;        // "http" or "https", lower case
  std::string host;          // as written (letter case kept)
  std::string port;          // ":8080", or empty for the scheme's default port
  std::string pathAndQuery;  // "/" at least; "?" and the query when there is one; no fragment
};

// Parses an absolute http or https address, its path and query encoded as ResolveWebReference
// encodes them. False for any other scheme or text libcurl refuses.
bool ParseWebAddress(const std::string& address, WebAddress& out);

class CurlUrl;
class ResolvedLinkCache;

// Resolves hrefs against one absolute base address as a browser does (see ResolveWebReference).
// With a cache, an answer libcurl gave for the same href under as much of the same base as
// decides it (its directory, or its origin or scheme) is reused.
class ReferenceResolver {
 public:
  explicit ReferenceResolver(const std::string& base, ResolvedLinkCache* cache = nullptr);
  ~ReferenceResolver();
  ReferenceResolver(const ReferenceResolver&) = delete;
  ReferenceResolver& operator=(const ReferenceResolver&) = delete;

  // False when the base is no address libcurl takes; every Resolve then fails.
  bool ok() const { return ok_; }
  bool Resolve(const std::string& href, WebAddress& out) const;

 private:
  std::string_view CacheBase(const std::string& ref, bool ownAuthority) const;

  std::string base_;
  std::string baseScheme_;
  std::string directory_;  // the cache's key for the base; empty: no cache
  size_t schemeLength_ = 0;  // directory_ up to here: the scheme
  size_t originLength_ = 0;  // directory_ up to here: scheme, host and port
  std::unique_ptr<CurlUrl> url_;
  ResolvedLinkCache* cache_ = nullptr;
  bool ok_ = false;
};

// Resolves an href against the absolute address base as a browser does: white space trimmed
// at both ends, tabs and line breaks inside removed, "\" read as "/" before the query, the
// fragment dropped, dot segments removed, the path and query percent-encoded as a browser
// encodes them and a "%" that begins no escape written %25 (see PercentEncode; the text is
// UTF-8). False when the result is no http or https address
// (mailto:, tel:, data:, javascript:, ftp: and any other scheme) or cannot be parsed.
bool ResolveWebReference(const std::string& base, const std::string& href, WebAddress& out);

// scheme + "://" + host + port + pathAndQuery
std::string ToText(const WebAddress& address);
