#include "web/RetryAfter.h"

#include <algorithm>
#include <cstdint>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"
#include "web/HttpDate.h"

namespace {

std::chrono::seconds Capped(int64_t seconds) {
  return std::chrono::seconds(std::clamp<int64_t>(seconds, 0, kMaxRetryAfter.count()));
}

}  // namespace

std::optional<std::chrono::seconds> RetryAfterWait(const std::string& value, std::time_t now) {
  const std::string text = TrimWhitespace(value);
  if (text.empty()) return std::nullopt;
  if (const std::optional<int64_t> number = ParseSignedDecimal(text, INT64_MIN, INT64_MAX)) return Capped(*number);
  // Digits too many for any number are still a number of seconds: the longest wait.
  if (text.find_first_not_of("0123456789") == std::string::npos) return kMaxRetryAfter;
  // The date parser refuses dates far ahead of its "now"; here they are only capped.
  constexpr std::time_t kCentury = std::time_t(100) * 366 * 24 * 3600;
  const std::optional<std::time_t> date = ParseHttpDate(text, now + kCentury);
  if (!date) return std::nullopt;
  return Capped(static_cast<int64_t>(*date) - static_cast<int64_t>(now));
}
