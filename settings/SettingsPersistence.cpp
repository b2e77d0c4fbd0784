#include "settings/SettingsPersistence.h"

#include <map>

#include "common/ResultCodes.h"
#include "settings/CSetupManager.h"
#include "store/CLevelDb.h"

int32_t ReadIntSetting(const std::string& text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size()) return -1;
  int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return -1;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return -1;
  return static_cast<int32_t>(value);
}

int32_t LoadSettings(CSetupManager* setup, CLevelDb* db) {
  if (!setup || !db) return rc::kMissing;
  setup->ResetToDefaults();
  int32_t opened = db->Open(kSettingsDbPath);
  if (opened != rc::kOk) return opened;
  std::map<std::string, std::string> pairs;
  db->ReadAll(pairs);
  setup->LoadFromMap(pairs);
  return rc::kOk;
}

void SaveSettings(CSetupManager* setup, CLevelDb* db) {
  if (!setup || !db) return;
  std::map<std::string, std::string> pairs;
  setup->SaveToMap(pairs);
  db->WriteAll(pairs);
}
