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
void SaveSettings(CSetupManager* setup, CLevelDb* db);

// A stored int: an optional sign and decimal digits, nothing else, within 32 bits; -1 for
// anything else (empty text included).
int32_t ReadIntSetting(const std::string& text);
