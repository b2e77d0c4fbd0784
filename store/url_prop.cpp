#include "store/url_prop.h"

#include "store/TextArchive.h"

Status ToText(const url_prop& record, std::string& text) {
  try {
    TextArchiveWriter writer;
    writer.WriteInt(0);  // tracking flag
    writer.WriteInt(0);  // class version
    writer.WriteInt(record.depth);
    writer.WriteInt(record.state);
    writer.WriteInt(record.excludedFlag);
    writer.WriteString(record.code);
    if (!writer.ok()) return StatusCode::kParse;
    text = writer.text();
    return {};
  } catch (...) {
    return StatusCode::kParse;
  }
}

Status FromText(const std::string& text, url_prop& record) {
  if (text.empty()) return StatusCode::kEmpty;
  try {
    TextArchiveReader reader(text);
    int32_t tracking = 0;
    int32_t version = 0;
    if (!reader.ReadHeader() || !reader.ReadInt(tracking) || !reader.ReadInt(version))
      return StatusCode::kParse;
    int32_t value = 0;
    if (!reader.ReadInt(value)) return StatusCode::kParse;
    record.depth = value;
    if (!reader.ReadInt(value)) return StatusCode::kParse;
    record.state = value;
    if (!reader.ReadInt(value)) return StatusCode::kParse;
    record.excludedFlag = value;
    std::string code;
    if (!reader.ReadString(code)) return StatusCode::kParse;
    record.code.swap(code);
    return {};
  } catch (...) {
    return StatusCode::kParse;
  }
}
