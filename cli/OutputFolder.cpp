#include "cli/OutputFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Existence and permission bits do not tell everything (read-only mounts, ACLs, root):
// creating and removing a file does.
bool AcceptsNewFiles(const std::filesystem::path& dir, std::string& problem) {
  std::filesystem::path probe = dir / (".veltro-write-check-" + std::to_string(getpid()));
  int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) {
    problem = "cannot write in folder '" + dir.string() + "': " + std::strerror(errno);
    return false;
  }
  close(fd);
  unlink(probe.c_str());
  return true;
}

}  // namespace

bool PrepareOutputFolder(const std::string& dir, std::string& problem) {
  std::filesystem::path path(dir);
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    if (!std::filesystem::is_directory(path, ec)) {
      problem = "'" + dir + "' exists and is not a folder";
      return false;
    }
    return AcceptsNewFiles(path, problem);
  }
  std::filesystem::create_directories(path, ec);
  if (ec || !std::filesystem::is_directory(path)) {
    problem = "cannot create folder '" + dir + "': " + (ec ? ec.message() : std::string("not a folder"));
    return false;
  }
  return AcceptsNewFiles(path, problem);
}
