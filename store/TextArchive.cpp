#include "store/TextArchive.h"

#include <charconv>
#include <new>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"

TextArchiveWriter::TextArchiveWriter() {
  WriteString(kArchiveSignature);
  WriteInt(kArchiveVersion);
}

void TextArchiveWriter::Append(const char* data, size_t size) {
  if (!ok_) return;
  try {
    text_.append(data, size);
  } catch (...) {
    ok_ = false;
  }
}

void TextArchiveWriter::WriteInt(int64_t value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  if (!text_.empty()) Append(" ", 1);
  Append(buf, static_cast<size_t>(res.ptr - buf));
}

void TextArchiveWriter::WriteCount(uint64_t value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  if (!text_.empty()) Append(" ", 1);
  Append(buf, static_cast<size_t>(res.ptr - buf));
}

void TextArchiveWriter::WriteString(const std::string& value) {
  WriteCount(value.size());
  Append(" ", 1);
  Append(value.data(), value.size());
}

bool TextArchiveReader::Fail() {
  failed_ = true;
  return false;
}

namespace {
bool IsSpace(char c) { return IsAsciiWhitespace(static_cast<unsigned char>(c)); }
}  // namespace

bool TextArchiveReader::ReadNumber(uint64_t& magnitude, bool& negative) {
  if (failed_) return false;
  while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  negative = false;
  if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
    negative = text_[pos_] == '-';
    ++pos_;
  }
  magnitude = 0;
  // No digits, or more than 64 bits of them.
  const size_t digits = ReadDecimalPrefix(std::string_view(text_).substr(pos_), UINT64_MAX, magnitude);
  if (digits == 0) return Fail();
  pos_ += digits;
  return true;
}

bool TextArchiveReader::ReadInt(int32_t& value) {
  uint64_t magnitude = 0;
  bool negative = false;
  if (!ReadNumber(magnitude, negative)) return false;
  if (negative) {
    if (magnitude > 2147483648ull) return Fail();
    value = static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  } else {
    if (magnitude > 2147483647ull) return Fail();
    value = static_cast<int32_t>(magnitude);
  }
  return true;
}

bool TextArchiveReader::ReadCount(uint64_t& value) {
  uint64_t magnitude = 0;
  bool negative = false;
  if (!ReadNumber(magnitude, negative)) return false;
  if (negative && magnitude != 0) return Fail();
  value = magnitude;
  return true;
}

bool TextArchiveReader::ReadString(std::string& value) {
  uint64_t length = 0;
  if (!ReadCount(length)) return false;
  if (pos_ >= text_.size()) return Fail();  // the separator is missing
  ++pos_;
  if (length > text_.size() - pos_) return Fail();
  try {
    value.assign(text_, pos_, static_cast<size_t>(length));
  } catch (...) {
    return Fail();
  }
  pos_ += static_cast<size_t>(length);
  return true;
}

bool TextArchiveReader::ReadHeader() {
  std::string signature;
  if (!ReadString(signature)) return false;
  if (signature != kArchiveSignature) return Fail();
  int32_t version = 0;
  if (!ReadInt(version)) return false;
  if (version < 0 || version > kArchiveVersion) return Fail();
  return true;
}
