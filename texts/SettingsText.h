#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/Status.h"
#include "settings/SetupPageRules.h"

class CLevelDb;

// The settings' messages, as the windows and the command show them (UTF-8).

// The message for a SaveSettings that failed: the database folder and the reason (leveldb's
// words, from the failure or else from db). Empty for ok.
std::string SettingsSaveFailureMessage(const Status& saved, const CLevelDb* db);
// The message for settings loaded from a database that a newer program wrote.
std::string NewerSettingsMessage(const CLevelDb* db);
// The status line's words for stored values read as their defaults (keys as LoadSettings
// gives them); empty when there are none.
std::string ReplacedSettingsMessage(const std::vector<std::string>& keys);

// What a page says when it refuses an entry of range: its name and the range, e.g.
// "最大深度应为1到999之间的整数。"
std::string RangeMessage(const NumberRange& range);
// The range as the page shows it beside the entry: "(1–999)".
std::string RangeLabel(const NumberRange& range);

// What the add dialog says when it refuses entry (UTF-8).
std::string FileTypeEntryMessage(const std::string& entry);
