#include "web/HeaderFields.h"

#include "common/DecimalNumber.h"
#include "web/ResponseHeaders.h"

std::string ExtractHeaderField(const std::string& headers, int32_t kind) {
  if (headers.empty()) return {};
  // The status is asked of every page: its line alone is read.
  if (kind == kFieldStatus) return ResponseHeaders::StatusCodeOf(headers);
  const ResponseHeaders fields(headers);
  switch (kind) {
    case kFieldContentLength: {
      std::string length = fields.Field("Content-Length");
      return ParseDecimal(length, UINT64_MAX) ? length : std::string();
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
