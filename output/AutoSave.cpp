#include "output/AutoSave.h"

#include <atomic>
#include <exception>

#include "common/ResultCodes.h"
#include "crawl/CThreadAutoSave.h"
#include "output/CSitemapXmlWriter.h"
#include "settings/CSetupManager.h"

namespace {

AutoSaveParams tickParams;                // rewritten only while no tick's save runs
std::atomic<bool> tickSaveRunning{false};

}  // namespace

int32_t AutoSaveThreadProc(void* param) {
  auto* params = static_cast<AutoSaveParams*>(param);
  if (!params) return rc::kMissing;
  if (params->writer) params->writer->SaveAll(params->prefix, params->gzip != 0);
  if (params == &tickParams) tickSaveRunning.store(false);
  return rc::kOk;
}

void AutoSaveTick(const CSetupManager& setup, CSitemapXmlWriter& writer, CThreadAutoSave& controller) {
  if (setup.autoSaveEnabled == 0 || setup.autoSaveInterval < 1) return;
  bool idle = false;
  if (!tickSaveRunning.compare_exchange_strong(idle, true)) return;
  try {
    tickParams.writer = &writer;
    tickParams.gzip = setup.autoSaveGzip;
    tickParams.prefix = setup.autoSavePath;
    if (controller.Start(&tickParams) != rc::kOk) tickSaveRunning.store(false);
  } catch (const std::exception&) {
    tickSaveRunning.store(false);
  }
}

bool AutoSaveInFlight() { return tickSaveRunning.load(); }
