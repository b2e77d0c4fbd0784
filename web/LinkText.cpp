#include "web/LinkText.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char byte) { return byte <= 0x20 || byte >= 0x7F; }
bool IsInnerBreak(char c) { return c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string CleanHref(const std::string& href) {
  size_t b = 0, e = href.size();
  while (b < e && static_cast<unsigned char>(href[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(href[e - 1]) <= 0x20) --e;
  std::string out;
  out.reserve(e - b);
  for (size_t i = b; i < e; ++i)
    if (!IsInnerBreak(href[i])) out += href[i];
  return out;
}

std::string PercentEncodeLink(const std::string& link) {
  size_t escapes = 0;
  for (unsigned char c : link) escapes += NeedsEscape(c);
  if (escapes == 0) return link;
  std::string out;
  out.reserve(link.size() + 2 * escapes);
  for (unsigned char c : link) {
    if (NeedsEscape(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
