#include "web/LinkRules.h"

#include "web/LinkText.h"
#include "web/UrlRules.h"

void ClassifyLink(const std::string& rawLink, const std::string& host, StringISet& external,
                  StringISet& internal) {
  const std::string link = TrimLink(rawLink);
  if (link.empty()) return;
  if (IsExternalLink(link, host)) {
    external.insert(link);
    return;
  }
  if (IsSkippedLink(link)) return;
  internal.insert(PercentEncodeLink(ResolveLink(link, host)));
}
