#include "settings/SettingsPersistence.h"

#include <filesystem>
#include <map>

#include "common/DecimalNumber.h"
#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "store/CLevelDb.h"

int32_t ReadIntSetting(const std::string& text) {
  const std::optional<int64_t> value = ParseSignedDecimal(text, INT32_MIN, INT32_MAX);
  return value ? static_cast<int32_t>(*value) : -1;
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

int32_t SaveSettings(CSetupManager* setup, CLevelDb* db) {
  if (!setup || !db) return rc::kMissing;
  try {
    std::map<std::string, std::string> pairs;
    setup->SaveToMap(pairs);
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
    default:
      return head + folder + L"写入失败，错误码 " + std::to_wstring(code) + L"。";
  }
}
