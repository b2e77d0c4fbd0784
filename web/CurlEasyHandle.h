#pragma once
#include <curl/curl.h>

// Owns one libcurl easy handle.
class CurlEasyHandle {
 public:
  CurlEasyHandle() = default;
  ~CurlEasyHandle() {
    if (handle_) curl_easy_cleanup(handle_);
  }
  CurlEasyHandle(const CurlEasyHandle&) = delete;
  CurlEasyHandle& operator=(const CurlEasyHandle&) = delete;

  // Makes the handle; false when libcurl could not.
  bool Create() {
    if (!handle_) handle_ = curl_easy_init();
    return handle_ != nullptr;
  }
  CURL* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  CURL* handle_ = nullptr;
};
