#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Request options of one session.
struct http_options {
  int32_t totalTimeout = 10;     // seconds, the whole transfer including the connection; a
                                 // transfer it ends fails with libcurl's code 28
  int32_t connectTimeout = 60;   // seconds; larger than the total, so the total decides
  int32_t maxRedirects = 10;     // 0 turns redirect following off
  std::string userAgent;         // sent as given (empty)
  bool verifyTls = true;         // off: any certificate is accepted (--insecure)
  std::string caFile;            // a CA bundle trusted too; empty: the system's only
  // HTTP authentication (basic or digest, as the server asks); empty user: none. Sent only
  // to addresses mayAuthenticate accepts, and never on to another host by a redirect.
  std::string user;
  std::string password;
  // Further request header lines, "Name: value" each, sent where the credentials are.
  std::vector<std::string> headers;
  // An empty function lets every address have the credentials and headers.
  std::function<bool(const std::string& address)> mayAuthenticate;
  // A proxy address (http, https, socks5, socks5h); empty: the environment's (http_proxy,
  // https_proxy, no_proxy) as libcurl reads it, unless ignoreProxyEnvironment.
  std::string proxy;
  bool ignoreProxyEnvironment = false;
  // A Netscape cookie file for the crawl's cookie jar, read once when the crawl starts (the
  // sessions never read it); empty: no cookies are kept.
  std::string cookieFile;
  // Asked while a transfer runs; true ends it at once (libcurl's code 42). Empty: never.
  std::function<bool()> cancelled;
  // Asked once when a response grows past a MiB, before more of it is held (it may wait its
  // turn); false ends the transfer as a cancel does. Empty: every response is held.
  std::function<bool()> holdLargeBody;
};
