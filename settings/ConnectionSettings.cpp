#include "settings/ConnectionSettings.h"

#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SetupPageRules.h"

namespace {

bool HasControlByte(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

// A refused line said back without its line breaks, which would break the message apart.
std::string OnOneLine(const std::string& text) {
  std::string line;
  for (char c : text) line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  return line;
}

}  // namespace

bool ReadCredentials(const std::string& text, std::string& value, std::string& problem) {
  std::string user, password;
  if (!SplitCredentials(text, user, password)) {
    problem = "no user name before ':'";
    return false;
  }
  if (HasControlByte(text)) {
    problem = "the user name or password holds a control character";
    return false;
  }
  value = text;
  return true;
}

bool ReadHeaderList(const std::string& text, std::string& value, std::string& problem) {
  const std::vector<std::string> lines = ListEntries(text);
  for (const std::string& line : lines) {
    if (const ConnectionProblem found = CheckHeaderLine(line)) {
      problem = ConnectionProblemText(found);
      return false;
    }
  }
  value = ListText(lines);
  return true;
}

bool ReadProxy(const std::string& text, std::string& value, std::string& problem) {
  const std::string proxy = TrimWhitespace(text);
  if (const ConnectionProblem found = CheckProxyAddress(proxy)) {
    problem = ConnectionProblemText(found);
    return false;
  }
  value = proxy;
  return true;
}

std::string StoredCredentials(const std::string& credentials, bool rememberPassword) {
  if (rememberPassword) return credentials;
  return credentials.substr(0, credentials.find(':'));
}

bool NeedsPassword(const std::string& credentials) {
  return !credentials.empty() && credentials.find(':') == std::string::npos;
}

http_options HttpOptionsOf(const CSetupManager& setup) {
  http_options options;
  options.totalTimeout = setup.totalTimeout;
  options.connectTimeout = setup.connectTimeout;
  SplitCredentials(setup.credentials, options.user, options.password);
  options.headers = ListEntries(setup.requestHeaders);
  options.cookieFile = setup.cookieFile;
  options.proxy = setup.proxy;
  options.ignoreProxyEnvironment = setup.noProxy != 0;
  options.caFile = setup.caFile;
  options.verifyTls = setup.insecure == 0;
  return options;
}

std::string ConnectionProblemText(const ConnectionProblem& problem) {
  using Fault = ConnectionProblem::Fault;
  const std::string& s = problem.subject;
  switch (problem.fault) {
    case Fault::None:
      break;
    case Fault::HeaderForm:
      return "header '" + OnOneLine(s) + "' is not one line 'Name: value'";
    case Fault::HeaderReserved:
      return "header '" + s + "' would replace what the program sends itself (Host, Content-Length, "
             "Transfer-Encoding; the user agent has --user-agent)";
    case Fault::ProxyScheme:
      return "proxy '" + s + "' is not an http://, https://, socks5:// or socks5h:// address";
    case Fault::ProxyHost:
      return "proxy '" + s + "' names no host";
    case Fault::CookieFileMissing:
      return "cannot read the cookie file '" + s + "'";
    case Fault::NotCookieFile:
      return "'" + s + "' is not a Netscape cookie file (lines of seven fields between tabs, as curl and "
             "the browsers' cookie export add-ons write them)";
    case Fault::CaFileMissing:
      return "cannot read the CA file '" + s + "'";
    case Fault::CaFileNotPem:
      return "'" + s + "' holds no PEM certificate (-----BEGIN CERTIFICATE-----)";
  }
  return {};
}
