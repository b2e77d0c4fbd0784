#pragma once
// Token reader and writer for the text archive form shared by the URL records and the stored
// forbidden-extension set.
//
// Form: tokens separated by one space, no leading space, no trailing space or line end.
//   header   "22 serialization::archive 9"  (the signature written as a string, then the version)
//   integer  decimal, a minus sign for negative values, no grouping
//   string   its length in bytes in decimal, one space, then the bytes as they are (no quoting,
//            no escaping; an empty string is "0 " and so ends with that space)
//
// TextArchiveWriter  (never throws; on out of memory ok() turns false and text() is unusable)
//   TextArchiveWriter w;            // the header is already written
//   w.WriteInt(-5); w.WriteCount(3); w.WriteString(".zip");
//   const std::string& t = w.text();
//
// TextArchiveReader  (never throws, never reads past the text, never allocates more than the
// text's own size; every Read... answers false on failure and the reader then stays failed)
//   TextArchiveReader r(text);      // keeps a reference: text must outlive the reader
//   r.ReadHeader();                 // signature "serialization::archive" and version 0..9
//   r.ReadInt(int32_t&)             // leading white space skipped, optional sign, range checked
//   r.ReadCount(uint64_t&)          // a non-negative number (collection sizes); not bounded, so
//                                   // compare it with remaining() before reserving anything
//   r.ReadString(std::string&)      // length, one separator character skipped, exactly that
//                                   // many bytes; a negative length or one longer than the rest
//                                   // of the text fails
//   r.remaining()                   // bytes not read yet
//   r.failed()
//
// Example, a set of strings:  w.WriteInt(0); w.WriteInt(0); w.WriteCount(n); w.WriteInt(0);
// then w.WriteString(item) for each item  ->  "22 serialization::archive 9 0 0 <n> 0 <len> <bytes> ..."
#include <cstddef>
#include <cstdint>
#include <string>

class TextArchiveWriter {
 public:
  TextArchiveWriter();
  void WriteInt(int64_t value);
  void WriteCount(uint64_t value);
  void WriteString(const std::string& value);
  const std::string& text() const { return text_; }
  bool ok() const { return ok_; }

 private:
  void Append(const char* data, size_t size);
  std::string text_;
  bool ok_ = true;
};

class TextArchiveReader {
 public:
  explicit TextArchiveReader(const std::string& text) : text_(text) {}
  bool ReadHeader();
  bool ReadInt(int32_t& value);
  bool ReadCount(uint64_t& value);
  bool ReadString(std::string& value);
  size_t remaining() const { return text_.size() - pos_; }
  bool failed() const { return failed_; }

 private:
  // Reads an optionally signed decimal number into magnitude/negative; false when none is there.
  bool ReadNumber(uint64_t& magnitude, bool& negative);
  bool Fail();
  const std::string& text_;
  size_t pos_ = 0;
  bool failed_ = false;
};

// The archive signature and the library version the archives are written with.
inline constexpr const char* kArchiveSignature = "serialization::archive";
inline constexpr int32_t kArchiveVersion = 9;
