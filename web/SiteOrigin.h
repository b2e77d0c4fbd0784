#pragma once
#include <string>

// Where a crawl's paths live: the scheme, host and port of its start address.
struct SiteOrigin {
  std::string scheme;  // "http" or "https"
  std::string host;
  std::string port;    // "" or ":8080"
};

// Scheme "https" when the address is typed so (any letter case), else "http"; the host as
// HostOf gives it; the port when the address's path begins with ":digits".
SiteOrigin OriginOf(const std::string& startUrl);
// scheme + "://" + host + port + path
std::string FullAddress(const SiteOrigin& origin, const std::string& path);
