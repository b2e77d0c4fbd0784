#include "web/MetaRobots.h"

#include "common/StringICompare.h"
#include "common/TextCodec.h"

namespace {

bool IsSpace(char c) { return IsAsciiWhitespace(static_cast<unsigned char>(c)); }

std::string_view Trim(std::string_view text) { return TrimWhitespaceView(text); }

// Calls fn for each piece of text between separators, trimmed, empty pieces left out.
template <typename Fn>
void ForEachToken(std::string_view text, bool (*isSeparator)(char), Fn fn) {
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !isSeparator(text[i])) continue;
    std::string_view token = Trim(text.substr(start, i - start));
    if (!token.empty()) fn(token);
    start = i + 1;
  }
}

}  // namespace

bool MetaNameAddressesUs(std::string_view name, std::string_view productToken) {
  name = Trim(name);
  return EqualsIgnoreCase(name, "robots") || (!productToken.empty() && EqualsIgnoreCase(name, productToken));
}

MetaRobotsDirectives ParseMetaRobotsContent(std::string_view content) {
  MetaRobotsDirectives directives;
  ForEachToken(content, [](char c) { return c == ','; }, [&](std::string_view token) {
    if (EqualsIgnoreCase(token, "noindex") || EqualsIgnoreCase(token, "none")) directives.noindex = true;
    if (EqualsIgnoreCase(token, "nofollow") || EqualsIgnoreCase(token, "none")) directives.nofollow = true;
  });
  return directives;
}

bool RelHasToken(std::string_view rel, std::string_view type) {
  bool found = false;
  ForEachToken(rel, IsSpace, [&](std::string_view token) { found = found || EqualsIgnoreCase(token, type); });
  return found;
}

bool RelHasNofollow(std::string_view rel) { return RelHasToken(rel, "nofollow"); }
