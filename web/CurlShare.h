#pragma once
#include <curl/curl.h>

#include <mutex>

// Owns one libcurl share object through which the easy handles of a crawl share resolved
// names and TLS sessions, so a worker's first connection resumes the session another worker
// negotiated. Must outlive every handle that uses it.
class CurlShare {
 public:
  CurlShare();
  ~CurlShare();
  CurlShare(const CurlShare&) = delete;
  CurlShare& operator=(const CurlShare&) = delete;

  CURLSH* get() const { return share_; }

 private:
  static void Lock(CURL* handle, curl_lock_data data, curl_lock_access access, void* self);
  static void Unlock(CURL* handle, curl_lock_data data, void* self);
  std::mutex* MutexFor(curl_lock_data data);

  CURLSH* share_;
  std::mutex dns_;
  std::mutex ssl_;
  std::mutex other_;  // the share's own data
};
