#include "output/FailureTsv.h"

#include "common/TextCodec.h"
#include "output/FailureReport.h"

namespace {

std::string PercentByte(unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  return std::string{'%', kHex[byte >> 4], kHex[byte & 15]};
}

// Text as a UTF-8 field: control characters percent-encoded, and the bytes from 0x80 on too
// when the text is no valid UTF-8.
std::string TsvField(const std::string& source) {
  const bool converted = IsValidUtf8(source);
  std::string field;
  field.reserve(source.size());
  for (char c : source) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || (!converted && byte >= 0x80)) {
      field += PercentByte(byte);
    } else {
      field += c;
    }
  }
  return field;
}

}  // namespace

std::string FailureTsvLine(const std::string& path, const std::string& code, const std::string& foundOn,
                           const std::string& redirectTo) {
  return TsvField(path) + '\t' + TsvField(code) + '\t' + TsvField(FailureDescription(code, redirectTo)) + '\t' +
         TsvField(foundOn) + '\n';
}
