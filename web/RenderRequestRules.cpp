#include "web/RenderRequestRules.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/StringICompare.h"

bool IsHeavyResourceType(const std::string& resourceType) {
  static constexpr std::array<const char*, 10> kHeavy = {"Image",    "Media",    "Font",   "TextTrack",
                                                         "Prefetch", "Ping",     "Manifest", "CSPViolationReport",
                                                         "SignedExchange", "FedCM"};
  return std::any_of(kHeavy.begin(), kHeavy.end(), [&](const char* kind) { return resourceType == kind; });
}

bool IsIconOrPrefetch(const nlohmann::json& requestHeaders) {
  if (!requestHeaders.is_object()) return false;
  for (const auto& [name, value] : requestHeaders.items()) {
    if (EqualsIgnoreCase(name, "sec-purpose") || EqualsIgnoreCase(name, "purpose")) return true;
    if (EqualsIgnoreCase(name, "accept") && value.is_string() && StartsWithIgnoreCase(value.get<std::string>(), "image/"))
      return true;
  }
  return false;
}

std::string AddressOrigin(const std::string& address) {
  const size_t scheme = address.find("://");
  if (scheme == std::string::npos || scheme == 0) return {};
  const size_t end = address.find_first_of("/?#", scheme + 3);
  std::string origin = address.substr(0, end);
  std::transform(origin.begin(), origin.end(), origin.begin(), [](unsigned char c) { return std::tolower(c); });
  return origin;
}

namespace {

// The last header block of a text that may hold those of redirects or interim answers too.
std::string LastBlock(const std::string& headers) {
  size_t start = 0;
  for (size_t at = headers.find("\nHTTP/"); at != std::string::npos; at = headers.find("\nHTTP/", at + 1))
    start = at + 1;
  return headers.substr(start);
}

}  // namespace

nlohmann::json FulfillHeaders(const std::string& headerBlock) {
  const std::string block = LastBlock(headerBlock);
  static constexpr std::array<const char*, 6> kTransfer = {"content-length", "content-encoding", "transfer-encoding",
                                                           "connection", "keep-alive", "trailer"};
  nlohmann::json fields = nlohmann::json::array();
  bool typed = false;
  size_t begin = StartsWithIgnoreCase(block, "http/") ? block.find('\n') : 0;
  if (begin == std::string::npos) begin = block.size();
  else if (begin > 0) ++begin;
  while (begin < block.size()) {
    size_t end = block.find('\n', begin);
    if (end == std::string::npos) end = block.size();
    std::string line = block.substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0 || line[0] == ' ' || line[0] == '\t') continue;
    std::string name = line.substr(0, colon);
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(" \t"));
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    if (std::any_of(kTransfer.begin(), kTransfer.end(), [&](const char* t) { return EqualsIgnoreCase(name, t); }))
      continue;
    if (EqualsIgnoreCase(name, "content-type")) typed = true;
    fields.push_back({{"name", name}, {"value", value}});
  }
  if (!typed) fields.push_back({{"name", "Content-Type"}, {"value", "text/html"}});
  return fields;
}
