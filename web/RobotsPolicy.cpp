#include "web/RobotsPolicy.h"

#include <cmath>

#include "common/DecimalNumber.h"

namespace {

// The status as a number, -1 unless it is exactly three digits.
int StatusNumber(const std::string& status) {
  const std::optional<uint64_t> value = status.size() == 3 ? ParseDecimal(status, 999) : std::nullopt;
  return value ? static_cast<int>(*value) : -1;
}

// Every path but the file itself refused.
const CRobotsTxt& NothingAllowed() {
  static const CRobotsTxt rules = CRobotsTxt::Parse("User-agent: *\nDisallow: /\n", "");
  return rules;
}

}  // namespace

bool RobotsPolicy::IsAllowed(std::string_view path) const {
  switch (access) {
    case RobotsAccess::AllowAll:
      return true;
    case RobotsAccess::DisallowAll:
      return NothingAllowed().IsAllowed(path);
    case RobotsAccess::Rules:
      return rules.IsAllowed(path);
  }
  return false;
}

int32_t RobotsPolicy::IntervalMs(int32_t configuredMs) const {
  int32_t interval = configuredMs < 0 ? 0 : configuredMs;
  if (access != RobotsAccess::Rules || !rules.crawlDelaySeconds()) return interval;
  double delayMs = std::ceil(*rules.crawlDelaySeconds() * 1000.0);
  int32_t delay = delayMs >= kMaxRobotsDelayMs ? kMaxRobotsDelayMs : static_cast<int32_t>(delayMs);
  return delay > interval ? delay : interval;
}

RobotsPolicy RobotsPolicyOf(int32_t fetchCode, const std::string& status, std::string_view body,
                            std::string_view productToken) {
  RobotsPolicy policy;
  int number = fetchCode == 0 ? StatusNumber(status) : -1;
  if (number >= 200 && number <= 299) {
    policy.access = RobotsAccess::Rules;
    policy.rules = CRobotsTxt::Parse(body, productToken);
  } else if (number >= 300 && number <= 499 && number != 429) {
    // 429 asks the crawler to slow down: it is taken as the server error it reports.
    policy.access = RobotsAccess::AllowAll;
  } else {
    policy.access = RobotsAccess::DisallowAll;
  }
  return policy;
}

std::string RobotsTxtAddress(const SiteOrigin& origin) { return FullAddress(origin, "/robots.txt"); }
