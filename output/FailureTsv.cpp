#include "output/FailureTsv.h"

#include "common/TextCodec.h"
#include "output/FailureReport.h"

namespace {

std::string PercentByte(unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  return std::string{'%', kHex[byte >> 4], kHex[byte & 15]};
}

}  // namespace

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

std::string FailureTsvLine(const std::string& path, const std::string& code, const std::string& foundOn,
                           const std::string& redirectTo) {
  return TsvField(path) + '\t' + TsvField(code) + '\t' + TsvField(FailureDescription(code, redirectTo)) + '\t' +
         TsvField(foundOn) + '\n';
}
