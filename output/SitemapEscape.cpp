#include "output/SitemapEscape.h"

#include <cstdint>

#include "common/PercentEncoding.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsXmlChar(uint32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// Length of the hexadecimal character reference starting at pos ("&#x41;" gives 6), or 0
// when the text there is not a reference a parser would accept.
size_t HexReferenceLength(std::string_view text, size_t pos) {
  if (text.compare(pos, 3, "&#x") != 0) return 0;
  uint32_t value = 0;
  size_t i = pos + 3;
  for (; i < text.size(); ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) break;
    if (value <= 0x10FFFF) value = value * 16 + static_cast<uint32_t>(digit);
  }
  if (i == pos + 3 || i >= text.size() || text[i] != ';' || !IsXmlChar(value)) return 0;
  return i + 1 - pos;
}

void AppendHexByte(std::string& out, unsigned char c) {
  out += kHex[c >> 4];
  out += kHex[c & 0xF];
}

}  // namespace

void AppendXmlEscaped(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '&': {
        size_t ref = HexReferenceLength(text, i);
        if (ref > 0) {
          out.append(text.substr(i, ref));
          i += ref - 1;
        } else {
          out += "&amp;";
        }
        break;
      }
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (c < 0x20) {
          out += "&#x";
          AppendHexByte(out, c);
          out += ';';
        } else {
          out += static_cast<char>(c);
        }
    }
  }
}

void AppendPercentEncoded(std::string& out, std::string_view address) {
  out += PercentEncode(address, PercentEncodeSet::kAddress);
}

std::string LocText(std::string_view address) {
  std::string encoded;
  encoded.reserve(address.size() + 8);
  AppendPercentEncoded(encoded, address);
  std::string out;
  out.reserve(encoded.size() + 16);
  AppendXmlEscaped(out, encoded);
  return out;
}
