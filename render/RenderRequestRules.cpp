#include "render/RenderRequestRules.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/StringICompare.h"
#include "web/ResponseHeaders.h"
#include "web/WebAddress.h"

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
  WebAddress parsed;
  if (!ParseWebAddress(address, parsed)) return {};
  return parsed.scheme + "://" + ToLowerAscii(parsed.host) + parsed.port;
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
  static constexpr std::array<const char*, 6> kTransfer = {"content-length", "content-encoding", "transfer-encoding",
                                                           "connection", "keep-alive", "trailer"};
  nlohmann::json fields = nlohmann::json::array();
  bool typed = false;
  const ResponseHeaders received(LastBlock(headerBlock));
  for (const auto& [name, value] : received.Fields()) {
    if (name.empty() ||
        std::any_of(kTransfer.begin(), kTransfer.end(), [&field = name](const char* t) { return EqualsIgnoreCase(field, t); }))
      continue;
    if (EqualsIgnoreCase(name, "content-type")) typed = true;
    fields.push_back({{"name", name}, {"value", value}});
  }
  if (!typed) fields.push_back({{"name", "Content-Type"}, {"value", "text/html"}});
  return fields;
}
