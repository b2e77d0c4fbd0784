#include "settings/CSetupManager.h"

#include <new>

#include "common/TextCodec.h"
#include "settings/ConnectionSettings.h"
#include "settings/SetupPageRules.h"
#include "settings/SettingsTable.h"
#include "store/TextArchive.h"

const char* const CSetupManager::kDefaultExtensionList[50] = {
    ".exe", ".dll", ".com", ".rar", ".zip", ".gzip", ".gz",  ".7z",  ".ace",  ".cab",
    ".jar", ".tar", ".rpm", ".z",   ".iso", ".bin",  ".img", ".gho", ".nrg",  ".vob",
    ".rm",  ".ra",  ".ram", ".rmvb", ".mp3", ".mp4", ".avi", ".wma", ".wmv",  ".asf",
    ".dat", ".mov", ".qt",  ".mp2", ".mid", ".mpe",  ".mpeg", ".mpg", ".wav", ".flv",
    ".pdf", ".doc", ".dot", ".docx", ".rtf", ".xls", ".ppt", ".mdb", ".txt",  ".wps"};

int32_t CSetupManager::DefaultThreadCount() { return DefaultThreads(); }

CSetupManager::CSetupManager() : threadCount(DefaultThreadCount()) {
  for (const char* ext : kDefaultExtensionList) defaultExtensions.insert(ext);
}

void CSetupManager::ResetToDefaults() {
  for (const SettingRow& row : SettingsTable()) ResetSetting(*this, row);
}

std::vector<std::string> CSetupManager::LoadFromMap(const std::map<std::string, std::string>& pairs) {
  std::vector<std::string> replaced;
  for (const SettingRow& row : SettingsTable()) {
    auto it = pairs.find(row.key);
    // Absent, empty or -1 (what an older program stored for a value it could not read) is
    // the default, and nothing to tell.
    if (it == pairs.end() || it->second.empty() || (it->second == "-1" && row.kind == SettingKind::Number)) {
      ResetSetting(*this, row);
      continue;
    }
    if (!SetSettingText(*this, row, it->second)) {
      ResetSetting(*this, row);
      replaced.push_back(row.key);
    }
  }
  return replaced;
}

void CSetupManager::SaveToMap(std::map<std::string, std::string>& pairs) const {
  for (const SettingRow& row : SettingsTable()) {
    // An empty type list is never stored: the list stored before stays.
    if (row.kind == SettingKind::Types && forbiddenExtensions.empty()) continue;
    std::string text = SettingText(*this, row);
    // A password is written down only when the user asked for it to be remembered.
    if (row.key == std::string(kKeyCredentials)) text = StoredCredentials(text, rememberPassword != 0);
    if (row.kind == SettingKind::Types && text.empty()) continue;  // the archive could not be written
    pairs.insert_or_assign(row.key, std::move(text));
  }
}

bool WriteExtensionArchive(const StringISet& set, std::string& text) {
  TextArchiveWriter writer;
  writer.WriteInt(0);  // tracking flag
  writer.WriteInt(0);  // class version
  writer.WriteCount(set.size());
  writer.WriteInt(0);  // item version
  for (const auto& ext : set) writer.WriteString(ext);
  if (!writer.ok()) return false;
  try {
    text = writer.text();
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The count is only an upper bound on the loop: each entry must still be in the text, so a
// huge count read from a damaged value costs nothing.
bool ReadExtensionArchive(const std::string& text, StringISet& set) {
  TextArchiveReader reader(text);
  int32_t tracking = 0;
  int32_t classVersion = 0;
  if (!reader.ReadHeader() || !reader.ReadInt(tracking) || !reader.ReadInt(classVersion)) return false;
  set.clear();
  uint64_t count = 0;
  int32_t itemVersion = 0;
  if (!reader.ReadCount(count) || !reader.ReadInt(itemVersion)) return false;
  for (uint64_t i = 0; i < count; ++i) {
    std::string ext;
    if (!reader.ReadString(ext)) return false;
    try {
      set.insert(StoredTextToUtf8(ext));
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return true;
}
