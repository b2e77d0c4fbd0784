#include "output/AutoSave.h"

#include <exception>

#include "common/ResultCodes.h"
#include "crawl/CThreadAutoSave.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "output/SitemapFiles.h"

void AutoSave::Shared::Publish(const FileWriteResult& result) {
  std::lock_guard<std::mutex> guard(reportLock);
  ++report.sequence;
  try {
    report.result = result;
  } catch (const std::exception&) {
    report.result = FileWriteResult();
    report.result.code = StatusCode::kNoMemory;
    report.result.step = WriteStep::Prepare;
  }
}

AutoSave::AutoSave() : shared_(std::make_shared<Shared>()) {}

std::string AutoSave::Prefix(const std::string& autoSavePath, const std::string& siteName) {
  if (autoSavePath.empty()) return siteName;
  if (autoSavePath.back() == '/') return autoSavePath + siteName;
  return autoSavePath + "_" + siteName;
}

void AutoSave::Tick(const AutoSaveOptions& options, const std::shared_ptr<CrawlResults>& results,
                    CThreadAutoSave& controller) {
  if (!options.enabled || options.intervalSeconds < 1 || !results) return;
  const std::string site = results->SiteName();
  std::shared_ptr<CSitemapXmlWriter> writer = results->sitemap();
  if (site.empty() || !writer) return;  // nothing crawled yet: no file is written over
  bool idle = false;
  if (!shared_->running.compare_exchange_strong(idle, true)) return;
  try {
    const std::string prefix = Prefix(options.path, site);
    const bool gzip = options.gzip;
    std::shared_ptr<Shared> shared = shared_;
    auto save = [shared, writer, prefix, gzip] {
      FileWriteResult result;
      writer->SaveAll(prefix, gzip, &result);
      shared->Publish(result);
      shared->running.store(false);
    };
    if (controller.Start(save) == rc::kOk) return;
    shared_->Publish(PrepareFailure(CSitemapXmlWriter::FileName(prefix, 0, gzip), StatusCode::kGeneral,
                                    "no thread could be started for the save"));
  } catch (const std::exception&) {
    shared_->Publish(PrepareFailure(std::string(), StatusCode::kNoMemory, "out of memory"));
  }
  shared_->running.store(false);
}

bool AutoSave::InFlight() const { return shared_->running.load(); }

AutoSaveReport AutoSave::LastReport() const {
  std::lock_guard<std::mutex> guard(shared_->reportLock);
  return shared_->report;
}
