#include "web/SiteOrigin.h"

#include "common/StringICompare.h"
#include "web/UrlRules.h"

namespace {

std::string LeadingPort(const std::string& path) {
  if (path.empty() || path[0] != ':') return {};
  size_t end = 1;
  while (end < path.size() && path[end] >= '0' && path[end] <= '9') ++end;
  return end > 1 ? path.substr(0, end) : std::string();
}

}  // namespace

SiteOrigin OriginOf(const std::string& startUrl) {
  SiteOrigin origin;
  origin.scheme = StartsWithIgnoreCase(startUrl, "https://") ? "https" : "http";
  std::string path;
  origin.host = SplitUrl(startUrl, path);
  origin.port = LeadingPort(path);
  return origin;
}

std::string FullAddress(const SiteOrigin& origin, const std::string& path) {
  return origin.scheme + "://" + origin.host + origin.port + path;
}
