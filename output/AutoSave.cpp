#include "output/AutoSave.h"

#include <atomic>
#include <exception>
#include <mutex>

#include "common/ResultCodes.h"
#include "crawl/CThreadAutoSave.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapFiles.h"
#include "settings/CSetupManager.h"

namespace {

AutoSaveParams tickParams;                // rewritten only while no tick's save runs
std::atomic<bool> tickSaveRunning{false};

// Written by the save thread, read by the window's timer.
std::mutex reportLock;
AutoSaveReport lastReport;

void Publish(const FileWriteResult& result) {
  std::lock_guard<std::mutex> guard(reportLock);
  ++lastReport.sequence;
  try {
    lastReport.result = result;
  } catch (const std::exception&) {
    lastReport.result = FileWriteResult();
    lastReport.result.code = rc::kNoMemory;
    lastReport.result.step = WriteStep::Prepare;
  }
}

}  // namespace

int32_t AutoSaveThreadProc(void* param) {
  auto* params = static_cast<AutoSaveParams*>(param);
  if (!params) return rc::kMissing;
  FileWriteResult result;
  if (params->writer) params->writer->SaveAll(params->prefix, params->gzip != 0, &result);
  if (params == &tickParams) {
    Publish(result);
    tickSaveRunning.store(false);
  }
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
    if (controller.Start(&tickParams) == rc::kOk) return;
    Publish(PrepareFailure(SitemapFileSystemPath(CSitemapXmlWriter::FileName(setup.autoSavePath, 0, setup.autoSaveGzip != 0)),
                           rc::kGeneral, "no thread could be started for the save"));
  } catch (const std::exception&) {
    Publish(PrepareFailure(std::string(), rc::kNoMemory, "out of memory"));
  }
  tickSaveRunning.store(false);
}

bool AutoSaveInFlight() { return tickSaveRunning.load(); }

AutoSaveReport LastAutoSaveReport() {
  std::lock_guard<std::mutex> guard(reportLock);
  return lastReport;
}
