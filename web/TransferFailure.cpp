#include "web/TransferFailure.h"

#include <curl/curl.h>

#include "web/PageOutcome.h"

std::string TransferFailureCode(int32_t fetchResult) { return PageOutcome::OfFetchResult(fetchResult).Text(); }

bool ParseCurlFailureCode(const std::string& code, int& curlCode) {
  const std::optional<PageOutcome> outcome = PageOutcome::FromText(code);
  if (!outcome || outcome->kind() != PageOutcome::Kind::Transfer) return false;
  curlCode = outcome->value();
  return true;
}

std::string CurlErrorText(int curlCode) {
  const char* text = curl_easy_strerror(static_cast<CURLcode>(curlCode));
  return text ? std::string(text) : std::string();
}
