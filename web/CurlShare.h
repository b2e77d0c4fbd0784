#pragma once
#include <curl/curl.h>

#include <mutex>
#include <string>

// Owns one libcurl share object through which the easy handles of a crawl share resolved
// names and TLS sessions, so a worker's first connection resumes the session another worker
// negotiated. With cookies kept, it is also the crawl's one cookie jar: what one worker's page
// sets, the next request of any worker sends. Must outlive every handle that uses it.
class CurlShare {
 public:
  explicit CurlShare(bool keepCookies = false);
  ~CurlShare();
  CurlShare(const CurlShare&) = delete;
  CurlShare& operator=(const CurlShare&) = delete;

  CURLSH* get() const { return share_; }
  bool keepsCookies() const { return keepsCookies_; }
  // Puts the cookies of a Netscape cookie file into the jar; false when the share keeps no
  // cookies or libcurl could not read the file.
  bool LoadCookieFile(const std::string& path);

 private:
  static void Lock(CURL* handle, curl_lock_data data, curl_lock_access access, void* self);
  static void Unlock(CURL* handle, curl_lock_data data, void* self);
  std::mutex* MutexFor(curl_lock_data data);

  CURLSH* share_;
  bool keepsCookies_ = false;
  std::mutex dns_;
  std::mutex ssl_;
  std::mutex cookies_;
  std::mutex other_;  // the share's own data
};
