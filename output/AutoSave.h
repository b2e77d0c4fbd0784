#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "output/FileWriteResult.h"

class CrawlResults;
class CThreadAutoSave;

// What the auto-save settings ask for: whether to save, every how many seconds, the path the
// files' names start with, and whether they are gzip-compressed.
struct AutoSaveOptions {
  bool enabled = false;
  int32_t intervalSeconds = 0;
  std::string path;
  bool gzip = true;
};

// The outcome of the latest finished save started by a tick: sequence counts those saves
// (0: none yet), result is ok or holds the first file that failed and why.
struct AutoSaveReport {
  uint64_t sequence = 0;
  FileWriteResult result;
};

// The auto-save of one window: timer 20 calls Tick, which saves the current crawl's sitemap
// on a thread of its own; the window's status line reads LastReport.
class AutoSave {
 public:
  AutoSave();
  AutoSave(const AutoSave&) = delete;
  AutoSave& operator=(const AutoSave&) = delete;

  // With auto-save on, starts a save of results' sitemap, its files named after the crawl's
  // site behind the auto-save path. A tick is skipped while the save of an earlier tick
  // still runs, when the interval setting is below 1 second (a zero period would save
  // without pause), and when there are no results yet.
  void Tick(const AutoSaveOptions& options, const std::shared_ptr<CrawlResults>& results, CThreadAutoSave& controller);

  // True while a save started by a tick has not finished.
  bool InFlight() const;
  AutoSaveReport LastReport() const;

  // The file-name prefix of an auto-save: the site's name behind the auto-save path (a
  // folder when it ends with "/", else put in front with "_").
  static std::string Prefix(const std::string& autoSavePath, const std::string& siteName);

 private:
  // Shared with the save thread, which may outlive the window.
  struct Shared {
    std::atomic<bool> running{false};
    mutable std::mutex reportLock;  // guards report
    AutoSaveReport report;
    void Publish(const FileWriteResult& result);
  };
  std::shared_ptr<Shared> shared_;
};
