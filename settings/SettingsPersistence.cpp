#include "settings/SettingsPersistence.h"

#include <map>

#include "common/DecimalNumber.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsTable.h"
#include "store/CLevelDb.h"

int32_t ReadIntSetting(const std::string& text) {
  const std::optional<int64_t> value = ParseSignedDecimal(text, INT32_MIN, INT32_MAX);
  return value ? static_cast<int32_t>(*value) : -1;
}

int32_t StoredSettingsFormat(const std::map<std::string, std::string>& pairs) {
  auto it = pairs.find(kKeySettingsFormat);
  if (it == pairs.end()) return 1;
  const std::optional<int64_t> format = ParseSignedDecimal(it->second, 1, INT32_MAX);
  // Unreadable is taken as newer: a database this program cannot place is left alone.
  return format ? static_cast<int32_t>(*format) : INT32_MAX;
}

Status LoadSettings(CSetupManager* setup, CLevelDb* db, std::vector<std::string>* replaced) {
  if (!setup || !db) return StatusCode::kMissing;
  setup->ResetToDefaults();
  Status opened = db->Open(kSettingsDbPath);
  if (!opened.ok()) return opened;
  std::map<std::string, std::string> pairs;
  db->ReadAll(pairs);
  std::vector<std::string> refused = setup->LoadFromMap(pairs);
  if (replaced) *replaced = std::move(refused);
  return StoredSettingsFormat(pairs) > kSettingsFormat ? Status(StatusCode::kNewerFormat) : Status();
}

Status SaveSettings(CSetupManager* setup, CLevelDb* db) {
  if (!setup || !db) return StatusCode::kMissing;
  try {
    std::string stored;
    if (db->Get(kKeySettingsFormat, &stored).ok() &&
        StoredSettingsFormat({{kKeySettingsFormat, stored}}) > kSettingsFormat)
      return StatusCode::kNewerFormat;
    std::map<std::string, std::string> pairs;
    setup->SaveToMap(pairs);
    pairs.insert_or_assign(kKeySettingsFormat, std::to_string(kSettingsFormat));
    return db->WriteAll(pairs);
  } catch (const std::bad_alloc&) {
    return StatusCode::kNoMemory;
  }
}
