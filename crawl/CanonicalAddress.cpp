#include "crawl/CanonicalAddress.h"

#include "web/WebAddress.h"

CanonicalVerdict JudgeCanonical(const std::string& canonical, const std::string& path, const SiteOrigin& origin) {
  CanonicalVerdict verdict;
  WebAddress target;
  if (canonical.empty() || !ParseWebAddress(canonical, target)) return verdict;
  if (!IsOnSite(origin, target)) {
    verdict.listed = false;
    return verdict;
  }
  if (target.pathAndQuery == path) return verdict;
  verdict.listed = false;
  verdict.admitPath = std::move(target.pathAndQuery);
  return verdict;
}
