#pragma once
#include <cstdint>
#include <string>

// Header field kinds understood by ExtractHeaderField.
enum HeaderFieldKind : int32_t {
  kFieldStatus = 0,
  kFieldContentLength = 1,
  kFieldCookie = 2,
  kFieldCharset = 3,
  kFieldContentEncoding = 4,
  kFieldServer = 5,
  kFieldLastModified = 6,
};

// The value of one field of a response header block, as ResponseHeaders reads it (white space
// around it removed; the charset parameter of Content-Type alone; a Content-Length of digits
// only; the status as the three digits of the status line). Empty when absent or the kind is
// unknown.
std::string ExtractHeaderField(const std::string& headers, int32_t kind);
