#include "output/CReplacingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

CReplacingFile::CReplacingFile(const std::string& finalPath)
    : finalPath_(finalPath), partPath_(finalPath + kPartSuffix) {
  if (finalPath.empty()) return;
  fd_ = open(partPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  opened_ = fd_ >= 0;
}

CReplacingFile::~CReplacingFile() {
  if (!committed_) Discard();
}

int CReplacingFile::DuplicateDescriptor() const { return fd_ >= 0 ? dup(fd_) : -1; }

bool CReplacingFile::Write(std::string_view bytes) {
  if (fd_ < 0 || failed_) return false;
  while (!bytes.empty()) {
    ssize_t n = write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool CReplacingFile::Commit() {
  if (fd_ < 0 || failed_) return false;
  bool ok = fdatasync(fd_) == 0;
  ok = close(fd_) == 0 && ok;
  fd_ = -1;
  if (!ok) {
    Discard();
    return false;
  }
  if (std::rename(partPath_.c_str(), finalPath_.c_str()) != 0) {
    Discard();
    return false;
  }
  committed_ = true;
  return true;
}

void CReplacingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (opened_) unlink(partPath_.c_str());
  opened_ = false;
}
