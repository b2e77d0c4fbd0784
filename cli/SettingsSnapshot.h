#pragma once
#include <string>

class CSetupManager;

// Reads the desktop program's settings without touching its database: opening a leveldb
// folder writes to it (lock, log, manifest) and would create it when missing, so the folder
// is copied to a temporary one and the copy is read. Without the folder, or when the copy
// cannot be read, the defaults stay. note tells which source was used.
void LoadSettingsReadOnly(CSetupManager& setup, const std::string& dbDir, std::string& note);
