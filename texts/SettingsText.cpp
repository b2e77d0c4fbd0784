#include "texts/SettingsText.h"

#include <filesystem>

#include "common/TextCodec.h"
#include "settings/SettingsPersistence.h"
#include "settings/SettingsTable.h"
#include "store/CLevelDb.h"

namespace {

std::string SettingsFolderText(const CLevelDb* db) {
  std::string path = db && !db->openPath().empty() ? db->openPath() : std::string(kSettingsDbPath);
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (!ec) path = absolute.lexically_normal().string();
  return Utf8OrEscaped(path);
}

std::string LevelDbWords(const Status& saved, const CLevelDb* db) {
  const std::string& words = !saved.message().empty() ? saved.message()
                             : db                     ? db->lastError()
                                                      : saved.message();
  if (words.empty()) return {};
  return "（" + Utf8OrEscaped(words) + "）";
}

}  // namespace

std::string SettingsSaveFailureMessage(const Status& saved, const CLevelDb* db) {
  if (saved.ok()) return {};
  std::string head = "设置没有保存：";
  std::string folder = "设置数据库“" + SettingsFolderText(db) + "”";
  switch (saved.code()) {
    case StatusCode::kNotOpen:
      return head + folder + "在启动时无法打开" + LevelDbWords(saved, db) + "。本次运行中修改的设置将会丢失。";
    case StatusCode::kDbWrite:
      return head + folder + "拒绝写入" + LevelDbWords(saved, db) + "。";
    case StatusCode::kNoMemory:
      return head + "内存不足。";
    case StatusCode::kNewerFormat:
      return head + folder + "由较新版本的程序写成，本程序不改写它。";
    default:
      return head + folder + "写入失败，错误码 " + std::to_string(saved.Number()) + "。";
  }
}

std::string NewerSettingsMessage(const CLevelDb* db) {
  return "设置数据库“" + SettingsFolderText(db) +
         "”由较新版本的程序写成。本程序读取了它能识别的设置，但不会改写这个数据库：本次运行中修改的设置不会保存。";
}

std::string ReplacedSettingsMessage(const std::vector<std::string>& keys) {
  if (keys.empty()) return {};
  std::string names;
  for (const std::string& key : keys) {
    const SettingRow* row = FindSetting(key);
    names += (names.empty() ? "" : "、") + (row ? row->label : key);
  }
  return "已改用默认值（存储的值超出范围）：" + names;
}

std::string RangeMessage(const NumberRange& range) {
  return std::string(range.name) + "应为" + std::to_string(range.low) + "到" + std::to_string(range.high) +
         "之间的整数。";
}

std::string RangeLabel(const NumberRange& range) {
  return "(" + std::to_string(range.low) + "\u2013" + std::to_string(range.high) + ")";
}

std::string FileTypeEntryMessage(const std::string& entry) {
  return "“" + entry + "”不是文件类型。请输入网址末尾点后面的部分，如 php 或 tar.gz；"
         "不能只有点，也不能含空格、*、/、\\ 或 ?。";
}
