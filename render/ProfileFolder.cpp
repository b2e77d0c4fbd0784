#include "render/ProfileFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>
#include <vector>

ProfileFolder::ProfileFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "veltro-chromium-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data())) path_ = name.data();
}

ProfileFolder::~ProfileFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}
