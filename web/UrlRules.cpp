#include "web/UrlRules.h"

#include "common/StringICompare.h"
#include "web/SiteOrigin.h"
#include "web/WebAddress.h"

std::string HostOf(const std::string& address) {
  const bool hasScheme = StartsWithIgnoreCase(address, "http://") || StartsWithIgnoreCase(address, "https://");
  WebAddress parsed;
  if (!ParseWebAddress(hasScheme ? address : "http://" + address, parsed)) return {};
  return parsed.host;
}
