#include "web/UrlRules.h"

#include <boost/regex.hpp>

#include "common/StringICompare.h"
#include "web/SiteOrigin.h"

namespace {

const boost::regex& HostPattern() {
  static const boost::regex pattern("http://([\\.\\w-]+\\.[\\w]+)(/?\\S*)",
                                    boost::regex::perl | boost::regex::icase);
  return pattern;
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

bool IsSameSite(const std::string& a, const std::string& b) { return IsSameHost(HostOf(a), HostOf(b)); }
