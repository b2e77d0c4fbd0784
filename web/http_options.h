#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Request options of one session.
struct http_options {
  int32_t totalTimeout = 10;     // seconds, the whole transfer including the connection; a
                                 // transfer it ends fails with libcurl's code 28
  int32_t connectTimeout = 60;   // seconds; larger than the total, so the total decides
  int32_t maxRedirects = 10;     // 0 turns redirect following off
  std::string userAgent;         // sent as given (empty)
  bool verifyTls = true;         // off only for tests against self-signed loopback servers
  std::string caFile;            // CA bundle to verify against; empty: libcurl's default
  // Asked while a transfer runs; true ends it at once (libcurl's code 42). Empty: never.
  std::function<bool()> cancelled;
  // Asked once when a response grows past a MiB, before more of it is held (it may wait its
  // turn); false ends the transfer as a cancel does. Empty: every response is held.
  std::function<bool()> holdLargeBody;
};
