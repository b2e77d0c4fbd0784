#include "web/PageOutcome.h"

#include <climits>

#include "common/DecimalNumber.h"

namespace {
constexpr std::string_view kCurlPrefix = "curl ";
}  // namespace

PageOutcome PageOutcome::Status(int32_t status) { return PageOutcome(Kind::Status, status); }

PageOutcome PageOutcome::OfStatusText(const std::string& status) {
  if (status.size() != 3) return PageOutcome();
  const std::optional<uint64_t> value = ParseDecimal(status, 999);
  return value && *value >= 100 ? Status(static_cast<int32_t>(*value)) : PageOutcome();
}

PageOutcome PageOutcome::OfFetchResult(int32_t result) {
  if (result == 0) return PageOutcome();
  return PageOutcome(result > 0 ? Kind::Transfer : Kind::Own, result);
}

std::optional<PageOutcome> PageOutcome::FromText(const std::string& text) {
  if (text.empty()) return PageOutcome();
  const std::string_view view = text;
  if (view.starts_with(kCurlPrefix)) {
    const std::optional<uint64_t> code = ParseDecimal(view.substr(kCurlPrefix.size()), INT_MAX);
    if (!code || *code == 0) return std::nullopt;  // 0 is success, never a failure code
    return PageOutcome(Kind::Transfer, static_cast<int32_t>(*code));
  }
  if (view.front() == '-') {
    const std::optional<int64_t> own = ParseSignedDecimal(view, INT_MIN, -1);
    if (!own) return std::nullopt;
    return PageOutcome(Kind::Own, static_cast<int32_t>(*own));
  }
  const PageOutcome status = OfStatusText(text);
  if (status.value() == 0) return std::nullopt;
  return status;
}

std::string PageOutcome::Text() const {
  switch (kind_) {
    case Kind::Status:
      return value_ == 0 ? std::string() : std::to_string(value_);
    case Kind::Transfer:
      return std::string(kCurlPrefix) + std::to_string(value_);
    case Kind::Own:
      return std::to_string(value_);
  }
  return {};
}
