#pragma once
// Every stored setting, one row each: its field, its key, what its text may hold, its default,
// where the window edits it, whether it shapes a crawl, and the command's option for it.
// Loading, storing, the command's options and its --help all read this table, so a setting
// is one row here and its use elsewhere.
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "common/StringICompare.h"

class CSetupManager;

// Where the window edits a setting.
enum class SettingsPage { None, Appearance, Run, AutoSave, Rules, UrlRules, SitemapContent, Connection, SearchEngines };

// What a setting's stored text holds.
enum class SettingKind {
  Number,  // a decimal number within [min, max]
  Switch,  // 0 off, 1 on; a row whose min is -1 also reads -1 as on (an older program stored it)
  Text,    // free text, kept as the row's reader makes it safe; at most max bytes from the command
  Words,   // a text the row's reader accepts (the sitemap's change frequency, priorities)
  Types,   // the forbidden file types, a text archive; stored only when not empty
  List,    // entries one a line, each as the row's reader takes it; the command's option is
           // repeatable and each use adds one entry
};

// The command's option for a setting; name is nullptr where the command has none.
struct SettingOption {
  const char* name = nullptr;       // "--depth"
  const char* shortName = nullptr;  // "-d", or nullptr
  const char* valueName = nullptr;  // "N"; nullptr: a switch that turns the setting on
  // A number's range on the command line, which may be wider than the window's.
  int64_t min = 0;
  int64_t max = 0;
  const char* what = nullptr;      // named in a refusal: "invalid <what> '<value>' for <option>"
  const char* expected = nullptr;  // "a whole number", "milliseconds"
  const char* help = nullptr;      // the --help text after the option
};

using SettingMember = std::variant<int32_t CSetupManager::*, std::string CSetupManager::*,
                                   StringISet CSetupManager::*>;

struct SettingRow {
  const char* field;  // CSetupManager's field
  const char* label;  // what the window calls it (UTF-8)
  const char* key;    // the settings database's key
  SettingKind kind;
  SettingMember member;
  // The default as stored; nullptr where it depends on the machine (the thread count).
  const char* defaultText;
  int32_t min;  // a number's range; a text's longest length in bytes is max
  int32_t max;
  SettingsPage page;
  bool shapesCrawl;  // it goes into a crawl's start record
  SettingOption option;
  // Text and Words: the stored or typed text -> the value kept; false, with the problem, when
  // it is refused.
  bool (*read)(const std::string& text, std::string& value, std::string& problem) = nullptr;
};

// The table, in the order settings are loaded and stored.
std::span<const SettingRow> SettingsTable();
// The row of a key; nullptr for a key the table does not hold.
const SettingRow* FindSetting(const std::string& key);

// The row's value in setup as its stored text.
std::string SettingText(const CSetupManager& setup, const SettingRow& row);
// The row's default as its stored text.
std::string DefaultSettingText(const SettingRow& row);
// Whose range a number is held to: the row's (the window and the database), or its option's
// (the command may ask for more).
enum class SettingRange { Row, Option };
// Reads a stored text into setup: false, with setup left as it was, when the row refuses it.
bool SetSettingText(CSetupManager& setup, const SettingRow& row, const std::string& text,
                    SettingRange range = SettingRange::Row);
// The row back to its default.
void ResetSetting(CSetupManager& setup, const SettingRow& row);
