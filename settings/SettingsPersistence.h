#pragma once
#include <cstdint>
#include <string>

class CSetupManager;
class CLevelDb;

// The settings database, below the working directory.
inline constexpr const char* kSettingsDbPath = "db/sitemap/setup";

// Defaults, then everything stored in the database at kSettingsDbPath (opened on db, which
// stays open). 0; rc::kMissing without setup or db; the error of Open (defaults stay).
int32_t LoadSettings(CSetupManager* setup, CLevelDb* db);
// Every setting written to the open database in one batch; nothing when db is closed.
// 0; rc::kMissing without setup or db; rc::kNotOpen when the database is closed (it could not
// be opened at start); rc::kDbWrite when leveldb refused the batch, rc::kNoMemory (then
// db->lastError() holds leveldb's words).
int32_t SaveSettings(CSetupManager* setup, CLevelDb* db);

// The message for a SaveSettings that failed with code: the database folder and the reason
// (leveldb's words from db when it has them). Empty for 0.
std::wstring SettingsSaveFailureMessage(int32_t code, const CLevelDb* db);

// A stored int: an optional sign and decimal digits, nothing else, within 32 bits; -1 for
// anything else (empty text included).
int32_t ReadIntSetting(const std::string& text);
