#include "web/HeaderFields.h"

#include "web/ResponseHeaders.h"

namespace {

bool AllDigits(const std::string& text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string ExtractHeaderField(const std::string& headers, int32_t kind) {
  if (headers.empty()) return {};
  const ResponseHeaders fields(headers);
  switch (kind) {
    case kFieldStatus:
      return fields.StatusCode();
    case kFieldContentLength: {
      std::string length = fields.Field("Content-Length");
      return AllDigits(length) ? length : std::string();
    }
    case kFieldCookie:
      return fields.Field("Set-Cookie");
    case kFieldCharset:
      return fields.Charset();
    case kFieldContentEncoding:
      return fields.Field("Content-Encoding");
    case kFieldServer:
      return fields.Field("Server");
    case kFieldLastModified:
      return fields.Field("Last-Modified");
    default:
      return {};
  }
}
