#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "web/CurlEasyHandle.h"
#include "web/CurlHeaderList.h"
#include "web/http_options.h"

class CurlShare;

// GET requests (and the occasional POST) on one easy handle. A session kept for several addresses reuses its
// keep-alive connection to a server, and its handle is reset before every transfer, so every
// request gets the same options.
class CHttpSession {
 public:
  // A session for Fetch(address, ...); unusable when no handle could be made.
  CHttpSession();
  // An empty address, or a handle that could not be made, leaves the session unusable.
  explicit CHttpSession(const std::string& address);
  ~CHttpSession() = default;
  CHttpSession(const CHttpSession&) = delete;
  CHttpSession& operator=(const CHttpSession&) = delete;

  // 0: received; headers = text before the first blank line, body = the rest from it.
  // Positive: libcurl's code of a failed transfer. Negative: -70 nothing received,
  // -105 no blank line, -220 no memory, -110 no handle (no transfer is started).
  // The room body holds on the call receives the answer; its former text is dropped.
  int32_t Fetch(std::string& headers, std::string& body);
  // The same for another address; it becomes the session's address.
  int32_t Fetch(const std::string& address, std::string& headers, std::string& body);
  // Receives the body piece by piece into sink instead of a buffer, for a document whose size
  // is not known in advance; sink returns false when it wants no more, which ends the
  // transfer as received. headers as Fetch gives them; codes as Fetch's.
  using BodySink = std::function<bool(const char* bytes, size_t n)>;
  int32_t FetchStream(const std::string& address, std::string& headers, const BodySink& sink);
  // A POST of content with the given Content-Type to address, answered as Fetch answers.
  int32_t Post(const std::string& address, const std::string& contentType, const std::string& content,
               std::string& headers, std::string& body);
  // Names, TLS sessions and (when the share keeps them) cookies are shared with the other
  // sessions of the share (null: none).
  void UseShare(CurlShare* share) { share_ = share; }

  const std::string& address() const { return address_; }
  http_options& options() { return options_; }

 private:
  // What a POST sends; null for a GET.
  struct PostRequest {
    const std::string* contentType;
    const std::string* content;
  };
  int32_t Receive(std::string& headers, std::string& body);
  int32_t Transfer(std::string& response);
  void ApplyOptions(class RecvBuffer& buffer);
  void ApplyProxy();
  // The credentials and further headers, for an address that may have them.
  void ApplyAuthentication();

  CurlEasyHandle handle_;
  CurlHeaderList headerLines_;  // the options' headers, for the transfer that runs
  // What an environment's proxy does not carry, read once with the environment when the
  // session is made rather than on every request.
  static std::string EnvironmentProxyBypass();
  std::string proxyBypass_ = EnvironmentProxyBypass();
  CurlShare* share_ = nullptr;
  std::string address_;
  http_options options_;
  const PostRequest* post_ = nullptr;  // set only for the length of Post
  std::mutex lock_;
};
