#include "web/CurlUrl.h"

CurlUrl::CurlUrl() : handle_(curl_url()) {}

CurlUrl::CurlUrl(CurlUrl&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

CurlUrl CurlUrl::Duplicate() const { return CurlUrl(handle_ ? curl_url_dup(handle_) : nullptr); }

CurlUrl::~CurlUrl() {
  if (handle_) curl_url_cleanup(handle_);
}

bool CurlUrl::Set(const std::string& addressOrReference) {
  if (!handle_) return false;
  return curl_url_set(handle_, CURLUPART_URL, addressOrReference.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK;
}

bool CurlUrl::Get(CURLUPart part, std::string& text) const {
  if (!handle_) return false;
  char* value = nullptr;
  const unsigned int flags = part == CURLUPART_PORT ? CURLU_NO_DEFAULT_PORT : 0;
  if (curl_url_get(handle_, part, &value, flags) != CURLUE_OK || value == nullptr) {
    curl_free(value);
    return false;
  }
  text.assign(value);
  curl_free(value);
  return true;
}
