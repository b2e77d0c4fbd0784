#pragma once
#include <cstdint>
#include <mutex>
#include <string>

#include "web/CurlEasyHandle.h"
#include "web/http_options.h"

// One GET request session: a fresh easy handle (and so a fresh connection) per address.
class CHttpSession {
 public:
  // An empty address, or a handle that could not be made, leaves the session unusable.
  explicit CHttpSession(const std::string& address);
  ~CHttpSession() = default;
  CHttpSession(const CHttpSession&) = delete;
  CHttpSession& operator=(const CHttpSession&) = delete;

  // 0: received; headers = text before the first blank line, body = the rest from it.
  // Positive: libcurl's code of a failed transfer. Negative: -70 nothing received,
  // -100 no blank line, -220 no memory, -110 no handle (no transfer is started).
  int32_t Fetch(std::string& headers, std::string& body);

  const std::string& address() const { return address_; }
  http_options& options() { return options_; }

 private:
  int32_t Transfer(std::string& response);
  void ApplyOptions(class RecvBuffer& buffer);

  CurlEasyHandle handle_;
  std::string address_;
  http_options options_;
  std::mutex lock_;
};
