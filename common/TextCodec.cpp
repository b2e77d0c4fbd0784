#include "common/TextCodec.h"

#include <cstring>

#include "common/IconvConverter.h"

namespace {

bool Convert(const std::string& input, const char* to, const char* from, IconvConverter::Mode mode,
             std::string& out) {
  out.clear();
  if (input.empty()) return true;
  IconvConverter converter(to, from, mode);
  return converter.ConvertAll(input.data(), input.size(), out);
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

size_t Utf8SequenceAt(std::string_view text, size_t pos, char32_t* codePoint) {
  if (pos >= text.size()) return 0;
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    length = 1, value = lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) return 0;
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  if (codePoint) *codePoint = value;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  for (size_t i = 0; i < text.size();) {
    // Markup is mostly ASCII: eight such bytes are passed over at once.
    uint64_t word;
    if (i + sizeof word <= text.size() && (std::memcpy(&word, text.data() + i, sizeof word), (word & kHighBits) == 0)) {
      i += sizeof word;
      continue;
    }
    const size_t length = Utf8SequenceAt(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string StoredTextToUtf8(const std::string& stored) {
  if (IsValidUtf8(stored)) return stored;
  std::string out;
  Convert(stored, "UTF-8", "GB18030", IconvConverter::Mode::kDiscarding, out);
  return out;
}

std::string_view TrimWhitespaceView(std::string_view text) {
  while (!text.empty() && IsAsciiWhitespace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && IsAsciiWhitespace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string TrimWhitespace(const std::string& text) { return std::string(TrimWhitespaceView(text)); }

std::string Utf8OrEscaped(const std::string& text) {
  if (IsValidUtf8(text)) return text;
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (unsigned char c : text) {
    if (c < 0x80) {
      shown += static_cast<char>(c);
    } else {
      shown += '%';
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    }
  }
  return shown;
}
