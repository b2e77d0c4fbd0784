#include "web/ConnectionCheck.h"

#include <fstream>
#include <string_view>

#include "common/StringICompare.h"
#include "web/CurlUrl.h"

namespace {

using Fault = ConnectionProblem::Fault;

ConnectionProblem Problem(Fault fault, const std::string& subject) { return ConnectionProblem{fault, subject}; }

// RFC 9110 token characters, the only ones a field name may hold.
bool IsTokenChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// Larger files are no cookie file anyone exported; they are not read whole.
constexpr std::streamsize kMaxCookieLine = 1 << 16;

bool IsCookieLine(const std::string& line) {
  size_t tabs = 0;
  for (char c : line) tabs += c == '\t' ? 1 : 0;
  return tabs == 6;
}

}  // namespace

ConnectionProblem CheckHeaderLine(const std::string& line) {
  if (line.find_first_of("\r\n") != std::string::npos) return Problem(Fault::HeaderForm, line);
  const size_t colon = line.find(':');
  if (colon == 0 || colon == std::string::npos) return Problem(Fault::HeaderForm, line);
  for (size_t i = 0; i < colon; ++i)
    if (!IsTokenChar(line[i])) return Problem(Fault::HeaderForm, line);
  for (char c : line)
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) return Problem(Fault::HeaderForm, line);
  const std::string name = line.substr(0, colon);
  // Replacing these would make the request say something else than it carries.
  if (EqualsIgnoreCase(name, "Host") || EqualsIgnoreCase(name, "Content-Length") ||
      EqualsIgnoreCase(name, "Transfer-Encoding") || EqualsIgnoreCase(name, "User-Agent"))
    return Problem(Fault::HeaderReserved, line);
  return {};
}

ConnectionProblem CheckProxyAddress(const std::string& proxy) {
  if (proxy.empty()) return {};
  const size_t sep = proxy.find("://");
  if (sep == std::string::npos) return Problem(Fault::ProxyScheme, proxy);
  const std::string scheme = proxy.substr(0, sep);
  if (!EqualsIgnoreCase(scheme, "http") && !EqualsIgnoreCase(scheme, "https") && !EqualsIgnoreCase(scheme, "socks5") &&
      !EqualsIgnoreCase(scheme, "socks5h"))
    return Problem(Fault::ProxyScheme, proxy);
  CurlUrl url;
  std::string host;
  if (!url.Set(proxy) || !url.Get(CURLUPART_HOST, host) || host.empty()) return Problem(Fault::ProxyHost, proxy);
  return {};
}

ConnectionProblem CheckCookieFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (path.empty() || !in) return Problem(Fault::CookieFileMissing, path);
  bool heading = false;
  bool cookie = false;
  std::string line;
  while (std::getline(in, line)) {
    if (static_cast<std::streamsize>(line.size()) > kMaxCookieLine) return Problem(Fault::NotCookieFile, path);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("# Netscape HTTP Cookie File", 0) == 0 || line.rfind("# HTTP Cookie File", 0) == 0) heading = true;
    // curl and the browsers' add-ons write HttpOnly cookies behind this prefix.
    if (line.rfind("#HttpOnly_", 0) == 0) line.erase(0, 10);
    else if (line.empty() || line[0] == '#') continue;
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (!IsCookieLine(line)) return Problem(Fault::NotCookieFile, path);
    cookie = true;
  }
  if (in.bad() || (!heading && !cookie)) return Problem(Fault::NotCookieFile, path);
  return {};
}

ConnectionProblem CheckCaFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (path.empty() || !in) return Problem(Fault::CaFileMissing, path);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("-----BEGIN CERTIFICATE-----", 0) == 0) return {};
  return Problem(Fault::CaFileNotPem, path);
}

std::string ProxyHostOf(const std::string& proxy) {
  CurlUrl url;
  std::string host;
  if (proxy.empty() || !url.Set(proxy) || !url.Get(CURLUPART_HOST, host)) return {};
  return host;
}

bool SplitCredentials(const std::string& text, std::string& user, std::string& password) {
  const size_t colon = text.find(':');
  user = text.substr(0, colon);
  password = colon == std::string::npos ? std::string() : text.substr(colon + 1);
  return !user.empty();
}

ConnectionProblem CheckConnection(const http_options& options) {
  for (const std::string& line : options.headers)
    if (ConnectionProblem problem = CheckHeaderLine(line)) return problem;
  if (ConnectionProblem problem = CheckProxyAddress(options.proxy)) return problem;
  if (!options.cookieFile.empty())
    if (ConnectionProblem problem = CheckCookieFile(options.cookieFile)) return problem;
  if (!options.caFile.empty())
    if (ConnectionProblem problem = CheckCaFile(options.caFile)) return problem;
  return {};
}
