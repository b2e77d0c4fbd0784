#pragma once
#include <string>

// The front of the result files' names for a test server's origin ("http://127.0.0.1:PORT"):
// the host, then "_PORT", as the program names the files of a site on another port.
inline std::string SiteFiles(const std::string& origin) {
  std::string rest = origin.substr(origin.find("://") + 3);
  std::string host = rest;
  std::string port;
  const size_t colon = rest.rfind(':');
  if (colon != std::string::npos && rest.find(']', colon) == std::string::npos) {
    host = rest.substr(0, colon);
    port = "_" + rest.substr(colon + 1);
  }
  if (host.size() > 2 && host.front() == '[') {
    host = host.substr(1, host.size() - 2);
    for (char& c : host)
      if (c == ':') c = '-';
  }
  return host + port;
}
