#pragma once
#include <cstdint>
#include <string>

#include "output/FileWriteResult.h"

class CSitemapXmlWriter;
class CSetupManager;
class CThreadAutoSave;

// What one auto-save thread saves.
struct AutoSaveParams {
  CSitemapXmlWriter* writer = nullptr;
  int32_t gzip = 1;     // gzip files when not 0
  std::string prefix;   // put in front of the file names
};

// The auto-save thread's procedure: SaveAll of the writer with the record's prefix and gzip
// flag. 0; rc::kMissing without a record.
int32_t AutoSaveThreadProc(void* param);

// Timer 20: with auto-save on, starts a save thread on the process-wide record. A tick is
// skipped while the save of an earlier tick still runs (the record is then still in use),
// and when the interval setting is below 1 second (a zero period would save without pause).
// Saves never overlap in any case: SaveAll holds the process-wide save lock.
void AutoSaveTick(const CSetupManager& setup, CSitemapXmlWriter& writer, CThreadAutoSave& controller);

// True while a save started by a tick has not finished.
bool AutoSaveInFlight();

// The outcome of the latest finished save started by a tick: sequence counts those saves
// (0: none yet), result is ok or holds the first file that failed and why.
struct AutoSaveReport {
  uint64_t sequence = 0;
  FileWriteResult result;
};
AutoSaveReport LastAutoSaveReport();
