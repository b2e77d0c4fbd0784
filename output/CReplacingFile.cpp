#include "output/CReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

// The folder that holds path ("." for a bare name).
std::string FolderOf(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

// A link is written through, as opening it would: the file it names is replaced, the link
// stays.
std::string ThroughLinks(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) return path;
  std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
  return ec || target.empty() ? path : target.string();
}

// An existing file that the user may not write stays protected, as it would against a
// plain open for writing.
bool IsWriteProtected(const std::string& path) {
  return faccessat(AT_FDCWD, path.c_str(), F_OK, AT_EACCESS) == 0 &&
         faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

}  // namespace

CReplacingFile::CReplacingFile(const std::string& finalPath)
    : finalPath_(ThroughLinks(finalPath)), partPath_(finalPath_ + kPartSuffix) {
  result_.path = AbsoluteFilePath(finalPath);
  if (finalPath.empty()) {
    Record(WriteStep::Open, ENOENT);
    return;
  }
  if (IsWriteProtected(finalPath_)) {
    Record(WriteStep::Open, EACCES);
    return;
  }
  fd_ = open(partPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    Record(WriteStep::Open, errno);
    return;
  }
  opened_ = true;
  struct stat existing {};
  if (stat(finalPath_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    fchmod(fd_, existing.st_mode & 07777);  // best effort: the content matters more
  }
}

CReplacingFile::~CReplacingFile() {
  if (!committed_) Discard();
}

int CReplacingFile::DuplicateDescriptor() const { return fd_ >= 0 ? dup(fd_) : -1; }

void CReplacingFile::Record(WriteStep step, int systemError) {
  failed_ = true;
  if (!result_.ok()) return;  // the first failure is the cause
  result_.code = StatusCode::kFileOpen;
  result_.step = step;
  result_.systemError = systemError;
}

void CReplacingFile::Fail(WriteStep step, int systemError, const std::string& libraryText) {
  bool first = result_.ok();
  Record(step, systemError);
  if (first && systemError == 0) result_.libraryText = libraryText;
}

bool CReplacingFile::Write(std::string_view bytes) {
  if (fd_ < 0 || failed_) return false;
  while (!bytes.empty()) {
    ssize_t n = write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Record(WriteStep::Write, errno);
      return false;
    }
    if (n == 0) {
      Fail(WriteStep::Write, 0, "the system wrote nothing");
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool CReplacingFile::Commit() {
  if (committed_) return result_.ok();
  if (fd_ < 0 || failed_) {
    Discard();
    return false;
  }
  if (fdatasync(fd_) != 0) Record(WriteStep::Sync, errno);
  if (close(fd_) != 0) Record(WriteStep::Sync, errno);
  fd_ = -1;
  if (failed_) {
    Discard();
    return false;
  }
  if (std::rename(partPath_.c_str(), finalPath_.c_str()) != 0) {
    Record(WriteStep::Rename, errno);
    Discard();
    return false;
  }
  committed_ = true;
  return SyncFolder();
}

// The rename is only durable once the folder's own entry list is on the disk.
bool CReplacingFile::SyncFolder() {
  int dir = open(FolderOf(finalPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return true;  // a folder we may write in but not read: nothing to flush with
  bool ok = fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;  // some file systems cannot
  if (!ok) Record(WriteStep::SyncFolder, errno);
  close(dir);
  return ok;
}

void CReplacingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (opened_) unlink(partPath_.c_str());
  opened_ = false;
}
