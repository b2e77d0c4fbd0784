#pragma once
#include <string>

#include "web/WebAddress.h"

// Where a crawl's paths live: the scheme, host and port of its start address.
struct SiteOrigin {
  std::string scheme;  // "http" or "https"
  std::string host;
  std::string port;    // "" for the scheme's default port, or ":8080"
};

// The origin of a start address as typed: "http" unless it names https; a default port
// ("http://h:80") counts as none. An address libcurl cannot parse keeps only the scheme (no host).
SiteOrigin OriginOf(const std::string& startUrl);
// The scheme, host and port of an address.
SiteOrigin OriginOf(const WebAddress& address);
// scheme + "://" + host + port + path
std::string FullAddress(const SiteOrigin& origin, const std::string& path);

// Host names of one site: equal ignoring letter case once a leading "www." is taken off.
bool IsSameHost(const std::string& a, const std::string& b);
// A page of the crawl's site: the same host (see IsSameHost) and the same port. http and
// https count as one site.
bool IsOnSite(const SiteOrigin& origin, const WebAddress& address);
