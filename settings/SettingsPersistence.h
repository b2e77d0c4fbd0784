#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/Status.h"

class CSetupManager;
class CLevelDb;

// The settings database, below the working directory.
inline constexpr const char* kSettingsDbPath = "db/sitemap/setup";

// Defaults, then everything stored in the database at kSettingsDbPath (opened on db, which
// stays open). kMissing without setup or db; the failure of Open (defaults stay);
// kNewerFormat when a newer program wrote it (what this one understands is loaded).
// replaced, when given, receives the keys whose stored values were refused and read as
// their defaults.
Status LoadSettings(CSetupManager* setup, CLevelDb* db, std::vector<std::string>* replaced = nullptr);
// Every setting written to the open database in one batch; nothing when db is closed.
// kMissing without setup or db; kNotOpen when the database is closed (it could not be opened
// at start; db->lastError() holds why); kNewerFormat when a newer program wrote it (it is
// left as it is); kDbWrite with leveldb's words when it refused the batch; kNoMemory.
Status SaveSettings(CSetupManager* setup, CLevelDb* db);
// The stored form's version in pairs; 1 for a database from before it was stored.
int32_t StoredSettingsFormat(const std::map<std::string, std::string>& pairs);

// A stored int: an optional sign and decimal digits, nothing else, within 32 bits; -1 for
// anything else (empty text included).
int32_t ReadIntSetting(const std::string& text);
