#include "web/UrlRules.h"

#include <boost/regex.hpp>

#include "common/StringICompare.h"

namespace {

const boost::regex& HostPattern() {
  static const boost::regex pattern("http://([\\.\\w-]+\\.[\\w]+)(/?\\S*)",
                                    boost::regex::perl | boost::regex::icase);
  return pattern;
}

std::string WithoutWww(const std::string& host) {
  return StartsWithIgnoreCase(host, "www.") ? host.substr(4) : host;
}

bool IsAbsoluteHttp(const std::string& link) {
  return StartsWithIgnoreCase(link, "http://") || StartsWithIgnoreCase(link, "https://");
}

}  // namespace

std::string SplitUrl(const std::string& address, std::string& path) {
  std::string copy = address;
  if (StartsWithIgnoreCase(copy, "https://")) copy.erase(0, 8);
  if (!StartsWithIgnoreCase(copy, "http://")) copy.insert(0, "http://");
  try {
    boost::smatch match;
    if (!boost::regex_search(copy, match, HostPattern())) return {};
    path = match[2].str();
    return match[1].str();
  } catch (...) {
    return {};
  }
}

std::string HostOf(const std::string& address) {
  std::string path;
  return SplitUrl(address, path);
}

bool IsSameSite(const std::string& a, const std::string& b) {
  return EqualsIgnoreCase(WithoutWww(HostOf(a)), WithoutWww(HostOf(b)));
}

bool IsExternalLink(const std::string& link, const std::string& host) {
  return IsAbsoluteHttp(link) && !IsSameSite(link, host);
}

bool IsSkippedLink(const std::string& link) {
  return StartsWithIgnoreCase(link, "javascript") || StartsWithIgnoreCase(link, "mailto:");
}

std::string ResolveLink(const std::string& link, const std::string& host) {
  if (IsAbsoluteHttp(link) || StartsWithIgnoreCase(link, host)) {
    std::string path;
    SplitUrl(link, path);
    return path;
  }
  if (!link.empty() && link[0] == '/') return link;
  return "/" + link;
}
