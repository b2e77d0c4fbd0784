#include "common/DecimalNumber.h"

#include <charconv>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t max) {
  // from_chars takes no "+" for unsigned types, but check the first byte anyway: the rule is
  // "digits only", whatever the library accepts.
  if (text.empty() || !IsDigit(text.front())) return std::nullopt;
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value > max) return std::nullopt;
  return value;
}

std::optional<int64_t> ParseSignedDecimal(std::string_view text, int64_t min, int64_t max) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // The magnitude of min may be one more than max can hold (INT64_MIN).
  const uint64_t limit = negative ? uint64_t(0) - static_cast<uint64_t>(min < 0 ? min : 0)
                                  : static_cast<uint64_t>(max < 0 ? 0 : max);
  const std::optional<uint64_t> magnitude = ParseDecimal(text, limit);
  if (!magnitude) return std::nullopt;
  const int64_t value = negative ? static_cast<int64_t>(uint64_t(0) - *magnitude) : static_cast<int64_t>(*magnitude);
  if (value < min || value > max) return std::nullopt;
  return value;
}

size_t ReadDecimalPrefix(std::string_view text, uint64_t max, uint64_t& value, size_t maxDigits) {
  size_t digits = 0;
  while (digits < text.size() && digits < maxDigits && IsDigit(text[digits])) ++digits;
  if (digits == 0) return 0;
  const std::optional<uint64_t> parsed = ParseDecimal(text.substr(0, digits), max);
  if (!parsed) return 0;
  value = *parsed;
  return digits;
}

std::optional<double> ParseDecimalFraction(std::string_view text, double max) {
  size_t digits = 0, dots = 0;
  for (char c : text) {
    if (IsDigit(c)) ++digits;
    else if (c == '.') ++dots;
    else return std::nullopt;
  }
  if (digits == 0 || dots > 1) return std::nullopt;
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (ec == std::errc::result_out_of_range) return max;
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value > max ? max : value;
}
