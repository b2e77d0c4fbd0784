#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "web/CRobotsTxt.h"
#include "web/SiteOrigin.h"

// What a crawl may fetch from a site, decided once from the fetch of its /robots.txt:
//   2xx: the file's rules; 3xx (redirects not followed to an end) and 4xx: no file, so
//   everything; 5xx, 429, any other status, or a failed fetch: nothing, since the site may
//   have rules it could not deliver.
enum class RobotsAccess { AllowAll, DisallowAll, Rules };

// The longest interval a site's Crawl-delay can ask for: a larger one would stall a crawl.
inline constexpr int32_t kMaxRobotsDelayMs = 60000;

struct RobotsPolicy {
  RobotsAccess access = RobotsAccess::AllowAll;
  CRobotsTxt rules;  // read when access is Rules

  // Whether the crawl may request path (as the crawl holds it). "/robots.txt" is always
  // allowed.
  bool IsAllowed(std::string_view path) const;
  // The least interval between two requests: configuredMs, or the site's Crawl-delay when
  // that is larger (at most kMaxRobotsDelayMs).
  int32_t IntervalMs(int32_t configuredMs) const;
};

// The policy for the outcome of the /robots.txt fetch: fetchCode as CHttpSession::Fetch
// returns it, status the three-digit status text of the response's header block, body the
// file. productToken as RobotsProductToken gives it (empty: only "*" groups apply).
RobotsPolicy RobotsPolicyOf(int32_t fetchCode, const std::string& status, std::string_view body,
                            std::string_view productToken);

// The address of the site's robots.txt: scheme, host and port of the origin + "/robots.txt".
std::string RobotsTxtAddress(const SiteOrigin& origin);
