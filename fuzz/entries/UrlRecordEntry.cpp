#include <string>

#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "store/TextArchive.h"
#include "store/url_prop.h"

namespace {

bool SameRecord(const url_prop& a, const url_prop& b) {
  return a.depth == b.depth && a.state == b.state && a.excludedFlag == b.excludedFlag && a.code == b.code;
}

void CheckRoundTrip(const std::string& text) {
  url_prop record;
  if (!FromText(text, record).ok()) return;
  std::string written;
  FuzzCheck(ToText(record, written).ok(), "a record that was read cannot be written", text);
  url_prop again;
  FuzzCheck(FromText(written, again).ok(), "a written record cannot be read back", written);
  FuzzCheck(SameRecord(record, again), "a record changed through its text form", written);
  std::string rewritten;
  FuzzCheck(ToText(again, rewritten).ok() && rewritten == written, "the text form is not stable", rewritten);
}

// Every read either fails or moves forward within the text; a string never exceeds what was
// left of the text before it was read.
void WalkArchive(const std::string& text) {
  TextArchiveReader strings(text);
  strings.ReadHeader();
  while (!strings.failed()) {
    const size_t before = strings.remaining();
    std::string value;
    if (!strings.ReadString(value)) break;
    FuzzCheck(value.size() <= before && strings.remaining() < before, "string read past the text", text);
  }
  TextArchiveReader numbers(text);
  while (!numbers.failed()) {
    const size_t before = numbers.remaining();
    uint64_t count = 0;
    int32_t value = 0;
    const bool ok = (before % 2 == 0) ? numbers.ReadCount(count) : numbers.ReadInt(value);
    if (!ok) break;
    FuzzCheck(numbers.remaining() < before, "number read did not move forward", text);
  }
  FuzzCheck(numbers.remaining() <= text.size() && strings.remaining() <= text.size(),
            "reader position outside the text", text);
}

}  // namespace

void FuzzUrlRecordText(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckRoundTrip(text);
  WalkArchive(text);
}
