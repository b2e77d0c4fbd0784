#include "common/PercentEncoding.h"

#include "common/TextCodec.h"

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool InSet(unsigned char byte, PercentEncodeSet set) {
  if (byte < 0x20 || byte >= 0x7F) return true;
  switch (set) {
    case PercentEncodeSet::kAddress:
      return byte == ' ';
    case PercentEncodeSet::kPath:
      return byte == ' ' || byte == '"' || byte == '#' || byte == '<' || byte == '>' || byte == '?' ||
             byte == '`' || byte == '{' || byte == '}';
    case PercentEncodeSet::kSpecialQuery:
      return byte == ' ' || byte == '"' || byte == '#' || byte == '<' || byte == '>' || byte == '\'';
  }
  return false;
}

bool IsHiddenOrDirectional(char32_t c) {
  return (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         c == 0xFEFF;
}

// The bytes of a run of escapes starting at address[pos] decoded, as many as there are.
std::string EscapedBytesAt(std::string_view address, size_t pos, size_t& consumed) {
  std::string bytes;
  consumed = 0;
  while (auto byte = PercentEscapeAt(address, pos + consumed)) {
    bytes += static_cast<char>(*byte);
    consumed += 3;
  }
  return bytes;
}

// Appends the run of escapes: readable characters decoded, the rest as it was written.
void AppendReadable(std::string& out, std::string_view escapes, const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    char32_t code = 0;
    const size_t length = Utf8SequenceAt(bytes, i, &code);
    const bool readable = length > 1 ? code >= 0xA0 && !IsHiddenOrDirectional(code) : IsUnreservedByte(byte);
    if (length > 0 && readable) {
      out.append(bytes, i, length);
    } else {
      out.append(escapes.substr(i * 3, 3));
    }
    i += length > 0 && readable ? length : 1;
  }
}

}  // namespace

std::optional<unsigned char> PercentEscapeAt(std::string_view text, size_t pos) {
  if (text.size() < 3 || pos > text.size() - 3) return std::nullopt;
  if (text[pos] != '%') return std::nullopt;
  const int high = HexDigitValue(text[pos + 1]);
  const int low = HexDigitValue(text[pos + 2]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<unsigned char>(high * 16 + low);
}

void AppendPercentEscape(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  out += '%';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

bool IsUnreservedByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::string PercentEncode(std::string_view text, PercentEncodeSet set) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == '%' ? !PercentEscapeAt(text, i) : InSet(byte, set))
      AppendPercentEscape(out, byte);
    else
      out += static_cast<char>(byte);
  }
  return out;
}

std::string ReadableAddress(std::string_view address) {
  std::string out;
  out.reserve(address.size());
  for (size_t i = 0; i < address.size();) {
    size_t consumed = 0;
    const std::string bytes = address[i] == '%' ? EscapedBytesAt(address, i, consumed) : std::string();
    if (consumed == 0) {
      out += address[i++];
      continue;
    }
    AppendReadable(out, address.substr(i, consumed), bytes);
    i += consumed;
  }
  return out;
}
