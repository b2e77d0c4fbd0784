#include "common/TextCodec.h"

#include <cstring>

#include "common/IconvConverter.h"

namespace {

const char* WideCharset() { return sizeof(wchar_t) == 4 ? "WCHAR_T" : "UTF-16LE"; }

bool Convert(const std::string& input, const char* to, const char* from, IconvConverter::Mode mode,
             std::string& out) {
  out.clear();
  if (input.empty()) return true;
  IconvConverter converter(to, from, mode);
  return converter.ConvertAll(input.data(), input.size(), out);
}

std::string WideBytes(const std::wstring& w) {
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

std::wstring FromWideBytes(const std::string& bytes) {
  std::wstring w(bytes.size() / sizeof(wchar_t), L'\0');
  if (!w.empty()) std::memcpy(w.data(), bytes.data(), w.size() * sizeof(wchar_t));
  return w;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::string WideToUtf8(const std::wstring& wide) {
  std::string out;
  if (!Convert(WideBytes(wide), "UTF-8", WideCharset(), IconvConverter::Mode::kDiscarding, out)) return {};
  return out;
}

std::wstring Utf8ToWide(const std::string& utf8) {
  std::string bytes;
  if (!IsValidUtf8(utf8) || !Convert(utf8, WideCharset(), "UTF-8", IconvConverter::Mode::kStrict, bytes)) return {};
  return FromWideBytes(bytes);
}

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

bool IsAsciiWhitespace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\v' || c == U'\f';
}

std::wstring TrimWhitespace(const std::wstring& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsAsciiWhitespace(static_cast<char32_t>(text[b]))) ++b;
  while (e > b && IsAsciiWhitespace(static_cast<char32_t>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

std::string_view TrimWhitespaceView(std::string_view text) {
  while (!text.empty() && IsAsciiWhitespace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && IsAsciiWhitespace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::string TrimWhitespace(const std::string& text) { return std::string(TrimWhitespaceView(text)); }
