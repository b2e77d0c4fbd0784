#pragma once
#include <zlib.h>

#include <string_view>

// Owns one zlib gzip file handle; closes it when still open.
class CGzFile {
 public:
  // Takes over the descriptor (gzdopen); the handle is empty when that fails, and the
  // descriptor is then closed here.
  CGzFile(int fd, const char* mode);
  ~CGzFile();
  CGzFile(const CGzFile&) = delete;
  CGzFile& operator=(const CGzFile&) = delete;

  bool isOpen() const { return file_ != nullptr; }
  // The whole text in one call; false when anything was not written.
  bool Write(std::string_view text);
  // Flushes the compressed stream and closes; false when that failed.
  bool Close();

 private:
  gzFile file_ = nullptr;
};
