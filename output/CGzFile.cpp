#include "output/CGzFile.h"

#include <unistd.h>

#include <climits>

CGzFile::CGzFile(int fd, const char* mode) {
  if (fd < 0) return;
  file_ = gzdopen(fd, mode);
  if (!file_) close(fd);
}

CGzFile::~CGzFile() { Close(); }

bool CGzFile::Write(std::string_view text) {
  if (!file_) return false;
  while (!text.empty()) {
    unsigned n = text.size() > INT_MAX ? INT_MAX : static_cast<unsigned>(text.size());
    if (gzwrite(file_, text.data(), n) != static_cast<int>(n)) return false;
    text.remove_prefix(n);
  }
  return true;
}

bool CGzFile::Close() {
  if (!file_) return false;
  int r = gzclose(file_);
  file_ = nullptr;
  return r == Z_OK;
}
