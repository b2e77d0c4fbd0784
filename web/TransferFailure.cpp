#include "web/TransferFailure.h"

#include <curl/curl.h>

#include <climits>

#include "common/DecimalNumber.h"

namespace {

constexpr char kCurlPrefix[] = "curl ";
constexpr size_t kCurlPrefixLength = sizeof(kCurlPrefix) - 1;

}  // namespace

std::string TransferFailureCode(int32_t fetchResult) {
  if (fetchResult == 0) return {};
  if (fetchResult > 0) return kCurlPrefix + std::to_string(fetchResult);
  return std::to_string(fetchResult);
}

bool ParseCurlFailureCode(const std::string& code, int& curlCode) {
  if (code.size() <= kCurlPrefixLength || code.compare(0, kCurlPrefixLength, kCurlPrefix) != 0) return false;
  const std::optional<uint64_t> value = ParseDecimal(std::string_view(code).substr(kCurlPrefixLength), INT_MAX);
  if (!value || *value == 0) return false;  // 0 is success, never a failure code
  curlCode = static_cast<int>(*value);
  return true;
}

std::string CurlErrorText(int curlCode) {
  const char* text = curl_easy_strerror(static_cast<CURLcode>(curlCode));
  return text ? std::string(text) : std::string();
}
