#include "web/TextConversion.h"

#include <cstring>
#include <memory>
#include <new>

#include "common/ResultCodes.h"
#include "common/StringICompare.h"
#include "web/HeaderFields.h"
#include "web/IconvConverter.h"

namespace {
constexpr size_t kBytesPerInputByte = 6;
}  // namespace

int32_t ConvertText(const std::string& input, const std::string& to, const std::string& from,
                    std::string& out) {
  if (input.empty()) return rc::kEmpty;
  if (input.size() > (static_cast<size_t>(INT32_MAX) - 1) / kBytesPerInputByte) return rc::kNoMemory;
  const size_t size = input.size() * kBytesPerInputByte;
  std::unique_ptr<char[]> area(new (std::nothrow) char[size]);
  if (!area) return rc::kNoMemory;
  std::memset(area.get(), 0, size);

  size_t room = size;
  {
    IconvConverter converter(to, from);
    if (converter.ok()) {
      const char* in = input.data();
      size_t inLeft = input.size();
      char* o = area.get();
      if (!converter.ConvertDiscarding(in, inLeft, o, room)) room = 0;
    }
  }
  if (room == 0) return rc::kParse;
  try {
    out.assign(area.get(), strnlen(area.get(), size));
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  }
  return static_cast<int32_t>(room);
}

std::string PreparePageText(const std::string& headers, const std::string& body) {
  const std::string charset = headers.empty() ? std::string() : ExtractHeaderField(headers, kFieldCharset);
  if (!EqualsIgnoreCase(charset, "UTF-8")) return body;
  std::string converted;
  ConvertText(body, "GBK", "UTF-8", converted);
  return converted;
}
