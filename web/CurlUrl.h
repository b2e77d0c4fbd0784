#pragma once
#include <curl/curl.h>

#include <string>

// Owns one libcurl URL handle (RFC 3986 parsing and reference resolution).
class CurlUrl {
 public:
  CurlUrl();
  ~CurlUrl();
  CurlUrl(const CurlUrl&) = delete;
  CurlUrl& operator=(const CurlUrl&) = delete;
  CurlUrl(CurlUrl&& other) noexcept;
  CurlUrl& operator=(CurlUrl&&) = delete;

  // A copy of the held address, cheaper than parsing it again.
  CurlUrl Duplicate() const;

  bool ok() const { return handle_ != nullptr; }
  // Sets the whole address, or, once one is held, resolves a reference against it (dot
  // segments removed). False when libcurl refuses the text; the held address is then kept.
  bool Set(const std::string& addressOrReference);
  // The part's text; false when the address has no such part. Ports of a scheme's default
  // number count as absent.
  bool Get(CURLUPart part, std::string& text) const;

 private:
  explicit CurlUrl(CURLU* handle) : handle_(handle) {}
  CURLU* handle_;
};
