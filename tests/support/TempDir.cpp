#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "veltro-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  const char* made = mkdtemp(buf.data());
  path_ = made ? std::filesystem::path(made) : std::filesystem::temp_directory_path();
}

TempDir::~TempDir() {
  std::error_code ec;
  if (path_ != std::filesystem::temp_directory_path()) std::filesystem::remove_all(path_, ec);
}

ScopedWorkingDir::ScopedWorkingDir(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
