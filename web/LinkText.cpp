#include "web/LinkText.h"

#include <cstdint>

#include "common/TextCodec.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char byte) {
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool NeedsEscape(unsigned char byte) { return byte <= 0x20 || byte >= 0x7F; }

// Decodes one UTF-8 sequence at text[i]; returns its length (1 for a stray byte, taken as is).
size_t DecodeUtf8(const unsigned char* text, size_t left, uint32_t& cp) {
  const unsigned char b = text[0];
  size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || len > left) {
    cp = b;
    return 1;
  }
  cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t k = 1; k < len; ++k) {
    if ((text[k] & 0xC0) != 0x80) {
      cp = b;
      return 1;
    }
    cp = (cp << 6) | (text[k] & 0x3F);
  }
  return len;
}

void AppendWideChar(std::string& out, uint32_t cp, const unsigned char* utf8, size_t len) {
  const std::string gbk = WideToAnsi(std::wstring(1, static_cast<wchar_t>(cp)));
  if (!gbk.empty()) {
    out += gbk;
    return;
  }
  for (size_t k = 0; k < len; ++k) AppendEscaped(out, utf8[k]);
}

}  // namespace

std::string NarrowFromTidy(const char* value) {
  if (!value) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(value);
  size_t n = 0;
  bool ascii = true;
  for (; p[n]; ++n)
    if (p[n] >= 0x80) ascii = false;
  if (ascii) return std::string(value, n);
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n;) {
    uint32_t cp = 0;
    const size_t len = DecodeUtf8(p + i, n - i, cp);
    if (cp <= 0xFF)
      out += static_cast<char>(cp);
    else
      AppendWideChar(out, cp, p + i, len);
    i += len;
  }
  return out;
}

std::string PercentEncodeLink(const std::string& link) {
  bool needed = false;
  for (unsigned char c : link)
    if (NeedsEscape(c)) {
      needed = true;
      break;
    }
  if (!needed) return link;
  std::string bytes;
  if (!ConvertStrict(link, "UTF-8", kAnsiCodePage, bytes)) bytes = link;
  std::string out;
  out.reserve(bytes.size() * 3);
  for (unsigned char c : bytes) {
    if (NeedsEscape(c))
      AppendEscaped(out, c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string TrimLink(const std::string& link) {
  size_t b = 0, e = link.size();
  while (b < e && static_cast<unsigned char>(link[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(link[e - 1]) <= 0x20) --e;
  return (b == 0 && e == link.size()) ? link : link.substr(b, e - b);
}
