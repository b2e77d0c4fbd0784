#include "web/TransferFailure.h"

#include <curl/curl.h>

#include <climits>

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
  long long value = 0;
  for (size_t i = kCurlPrefixLength; i < code.size(); ++i) {
    char c = code[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return false;
  }
  if (value == 0) return false;  // 0 is success, never a failure code
  curlCode = static_cast<int>(value);
  return true;
}

std::string CurlErrorText(int curlCode) {
  const char* text = curl_easy_strerror(static_cast<CURLcode>(curlCode));
  return text ? std::string(text) : std::string();
}
