#include "output/CGzFile.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

CGzFile::CGzFile(int fd, const char* mode) {
  if (fd < 0) {  // the descriptor could not be made: its errno is still current
    RecordZlibError(Z_ERRNO, errno != 0 ? errno : EBADF, nullptr);
    return;
  }
  errno = 0;
  file_ = gzdopen(fd, mode);
  if (!file_) {
    int saved = errno;
    close(fd);
    if (saved != 0) RecordZlibError(Z_ERRNO, saved, nullptr);
    else RecordZlibError(Z_MEM_ERROR, 0, nullptr);
  }
}

CGzFile::~CGzFile() { Close(); }

void CGzFile::RecordZlibError(int code, int savedErrno, const char* message) {
  if (failed_) return;  // the first failure is the cause
  failed_ = true;
  if (code == Z_ERRNO && savedErrno != 0) {
    systemError_ = savedErrno;
    return;
  }
  libraryText_ = message && *message ? message : zError(code);
}

bool CGzFile::Write(std::string_view text) {
  if (!file_) return false;
  while (!text.empty()) {
    unsigned n = text.size() > INT_MAX ? INT_MAX : static_cast<unsigned>(text.size());
    if (gzwrite(file_, text.data(), n) != static_cast<int>(n)) {
      int saved = errno;
      int code = Z_OK;
      const char* message = gzerror(file_, &code);
      RecordZlibError(code, saved, message);
      return false;
    }
    text.remove_prefix(n);
  }
  return true;
}

bool CGzFile::Close() {
  if (!file_) return false;
  int r = gzclose(file_);
  int saved = errno;
  file_ = nullptr;
  if (r != Z_OK) RecordZlibError(r, saved, nullptr);
  return r == Z_OK;
}
