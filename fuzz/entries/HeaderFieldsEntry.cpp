#include <string>

#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "web/HeaderFields.h"
#include "web/StatusTextTable.h"

namespace {

bool AllDigits(const std::string& text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

void FuzzHeaderFields(const uint8_t* data, size_t size) {
  const std::string headers(reinterpret_cast<const char*>(data), size);
  const std::string status = ExtractHeaderField(headers, kFieldStatus);
  FuzzCheck(status.empty() || (status.size() == 3 && AllDigits(status)), "status is not three digits",
            status);
  if (const std::string* text = StatusText(status)) FuzzCheck(!text->empty(), "empty status text", status);
  const std::string length = ExtractHeaderField(headers, kFieldContentLength);
  FuzzCheck(AllDigits(length), "content length is not digits", length);
  for (int32_t kind = kFieldCookie; kind <= kFieldLastModified; ++kind) {
    const std::string value = ExtractHeaderField(headers, kind);
    FuzzCheck(value.find_first_of("\r\n") == std::string::npos, "field value runs past its line", value);
  }
  FuzzCheck(ExtractHeaderField(headers, -1).empty() && ExtractHeaderField(headers, 7).empty(),
            "a kind without a pattern gave a value");
}
