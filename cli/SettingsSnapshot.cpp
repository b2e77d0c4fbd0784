#include "cli/SettingsSnapshot.h"

#include <stdlib.h>

#include <filesystem>
#include <map>
#include <vector>

#include "settings/CSetupManager.h"
#include "store/CLevelDb.h"

namespace {

// A fresh temporary folder, removed with its content at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "veltro-cli-settings-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) path_ = buf.data();
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

bool ReadCopy(const std::string& dbDir, std::map<std::string, std::string>& pairs) {
  ScratchFolder scratch;
  if (scratch.path().empty()) return false;
  std::filesystem::path copy = scratch.path() / "setup";
  std::error_code ec;
  std::filesystem::copy(dbDir, copy, std::filesystem::copy_options::recursive, ec);
  if (ec) return false;
  CLevelDb db;
  if (!db.Open(copy.string()).ok()) return false;
  const Status read = db.ReadAll(pairs);
  db.Close();
  return read.ok();
}

}  // namespace

void LoadSettingsReadOnly(CSetupManager& setup, const std::string& dbDir, std::string& note) {
  setup.ResetToDefaults();
  std::error_code ec;
  if (!std::filesystem::is_directory(dbDir, ec)) {
    note = "no settings database at " + dbDir + ": defaults";
    return;
  }
  std::map<std::string, std::string> pairs;
  if (!ReadCopy(dbDir, pairs)) {
    note = "settings database at " + dbDir + " cannot be read: defaults";
    return;
  }
  // As the window loads them: every stored pair over the defaults.
  setup.LoadFromMap(pairs);
  note = "settings from " + dbDir;
}
