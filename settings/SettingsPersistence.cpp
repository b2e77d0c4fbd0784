#include "settings/SettingsPersistence.h"

#include <filesystem>
#include <map>

#include "common/DecimalNumber.h"
#include "common/ResultCodes.h"
#include "common/TextCodec.h"
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

int32_t LoadSettings(CSetupManager* setup, CLevelDb* db, std::vector<std::string>* replaced) {
  if (!setup || !db) return rc::kMissing;
  setup->ResetToDefaults();
  int32_t opened = db->Open(kSettingsDbPath);
  if (opened != rc::kOk) return opened;
  std::map<std::string, std::string> pairs;
  db->ReadAll(pairs);
  std::vector<std::string> refused = setup->LoadFromMap(pairs);
  if (replaced) *replaced = std::move(refused);
  return StoredSettingsFormat(pairs) > kSettingsFormat ? rc::kNewerFormat : rc::kOk;
}

int32_t SaveSettings(CSetupManager* setup, CLevelDb* db) {
  if (!setup || !db) return rc::kMissing;
  try {
    std::string stored;
    if (db->Get(kKeySettingsFormat, &stored) == rc::kOk &&
        StoredSettingsFormat({{kKeySettingsFormat, stored}}) > kSettingsFormat)
      return rc::kNewerFormat;
    std::map<std::string, std::string> pairs;
    setup->SaveToMap(pairs);
    pairs.insert_or_assign(kKeySettingsFormat, std::to_string(kSettingsFormat));
    return db->WriteAll(pairs);
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  }
}

namespace {

std::wstring SettingsFolderText(const CLevelDb* db) {
  std::string path = db && !db->openPath().empty() ? db->openPath() : std::string(kSettingsDbPath);
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (!ec) path = absolute.lexically_normal().string();
  std::wstring wide = Utf8ToWide(path);
  return wide.empty() ? std::wstring(path.begin(), path.end()) : wide;
}

std::wstring LevelDbWords(const CLevelDb* db) {
  if (!db || db->lastError().empty()) return {};
  std::wstring words = Utf8ToWide(db->lastError());
  if (words.empty()) words = std::wstring(db->lastError().begin(), db->lastError().end());
  return L"（" + words + L"）";
}

}  // namespace

std::wstring SettingsSaveFailureMessage(int32_t code, const CLevelDb* db) {
  if (code == rc::kOk) return {};
  std::wstring head = L"设置没有保存：";
  std::wstring folder = L"设置数据库“" + SettingsFolderText(db) + L"”";
  switch (code) {
    case rc::kNotOpen:
      return head + folder + L"在启动时无法打开" + LevelDbWords(db) + L"。本次运行中修改的设置将会丢失。";
    case rc::kDbWrite:
      return head + folder + L"拒绝写入" + LevelDbWords(db) + L"。";
    case rc::kNoMemory:
      return head + L"内存不足。";
    case rc::kNewerFormat:
      return head + folder + L"由较新版本的程序写成，本程序不改写它。";
    default:
      return head + folder + L"写入失败，错误码 " + std::to_wstring(code) + L"。";
  }
}

std::wstring NewerSettingsMessage(const CLevelDb* db) {
  return L"设置数据库“" + SettingsFolderText(db) +
         L"”由较新版本的程序写成。本程序读取了它能识别的设置，但不会改写这个数据库：本次运行中修改的设置不会保存。";
}

std::wstring ReplacedSettingsMessage(const std::vector<std::string>& keys) {
  if (keys.empty()) return {};
  std::wstring names;
  for (const std::string& key : keys) {
    const SettingRow* row = FindSetting(key);
    names += (names.empty() ? L"" : L"、") + Utf8ToWide(row ? row->label : key);
  }
  return L"已改用默认值（存储的值超出范围）：" + names;
}
