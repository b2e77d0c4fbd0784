#include "web/SiteOrigin.h"

#include "common/StringICompare.h"

namespace {

std::string WithoutWww(const std::string& host) {
  return StartsWithIgnoreCase(host, "www.") ? host.substr(4) : host;
}

}  // namespace

SiteOrigin OriginOf(const std::string& startUrl) {
  const bool https = StartsWithIgnoreCase(startUrl, "https://");
  const bool hasScheme = https || StartsWithIgnoreCase(startUrl, "http://");
  WebAddress parsed;
  if (ParseWebAddress(hasScheme ? startUrl : "http://" + startUrl, parsed)) return OriginOf(parsed);
  SiteOrigin origin;
  origin.scheme = https ? "https" : "http";
  return origin;
}

SiteOrigin OriginOf(const WebAddress& address) { return SiteOrigin{address.scheme, address.host, address.port}; }

std::string FullAddress(const SiteOrigin& origin, const std::string& path) {
  return origin.scheme + "://" + origin.host + origin.port + path;
}

bool IsSameHost(const std::string& a, const std::string& b) { return EqualsIgnoreCase(WithoutWww(a), WithoutWww(b)); }

bool IsOnSite(const SiteOrigin& origin, const WebAddress& address) {
  return address.port == origin.port && IsSameHost(address.host, origin.host);
}
