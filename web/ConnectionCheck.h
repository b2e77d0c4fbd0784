#pragma once
// The checks a crawl's connection settings pass before the crawl starts, so that a typing
// mistake is said at once instead of as a failure on every page.
#include <string>

#include "web/http_options.h"

struct ConnectionProblem {
  enum class Fault {
    None,
    HeaderForm,         // not "Name: value", or a CR or LF in it
    HeaderReserved,     // Host, Content-Length (the client's own) or User-Agent (a setting of its own)
    ProxyScheme,        // not http, https, socks5 or socks5h
    ProxyHost,          // no host, or not an address at all
    CookieFileMissing,  // cannot be read
    NotCookieFile,      // not in the Netscape cookie file form
    CaFileMissing,
    CaFileNotPem,       // holds no PEM certificate
  };
  Fault fault = Fault::None;
  std::string subject;  // the header line, proxy address or file name concerned

  explicit operator bool() const { return fault != Fault::None; }
};

// One header line as given: its problem, or Fault::None.
ConnectionProblem CheckHeaderLine(const std::string& line);
// A proxy address as given; the empty text (no proxy) passes.
ConnectionProblem CheckProxyAddress(const std::string& proxy);
// A Netscape (Mozilla) cookie file: every line blank, a comment, or seven fields between tabs,
// and at least one cookie or the file's "# Netscape HTTP Cookie File" heading.
ConnectionProblem CheckCookieFile(const std::string& path);
// A CA bundle: a readable file with at least one PEM certificate.
ConnectionProblem CheckCaFile(const std::string& path);
// The host name of a proxy address; empty when there is none.
std::string ProxyHostOf(const std::string& proxy);
// "USER" or "USER:PASSWORD" split at the first ':'; false for an empty user name.
bool SplitCredentials(const std::string& text, std::string& user, std::string& password);

// Everything above, for the options a crawl will use; the first problem found.
ConnectionProblem CheckConnection(const http_options& options);
