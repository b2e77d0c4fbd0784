#pragma once
#include <zlib.h>

#include <string>
#include <string_view>

// Owns one zlib gzip file handle; closes it when still open. A failed call keeps its cause:
// the errno of the system call zlib made, or zlib's own message.
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

  // The cause of the first failure: errno (0 when it was not a system call) and zlib's words.
  int systemError() const { return systemError_; }
  const std::string& libraryText() const { return libraryText_; }

 private:
  void RecordZlibError(int code, int savedErrno, const char* message);

  gzFile file_ = nullptr;
  bool failed_ = false;
  int systemError_ = 0;
  std::string libraryText_;
};
