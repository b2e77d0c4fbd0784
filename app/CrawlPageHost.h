#pragma once
// What the crawl page needs from the main window that owns it.
#include <cstdint>
#include <string>

#include "app/platform/WindowMessages.h"

class CSetupManager;
struct CrawlStartParams;

class CrawlPageHost {
 public:
  virtual ~CrawlPageHost() = default;
  virtual WindowHandle MainWindowHandle() const = 0;
  // Base of the elapsed time shown in the status line.
  virtual void SetStartTick(uint32_t tick) = 0;
  virtual const CSetupManager& Settings() const = 0;
  // The password the user typed when the crawl started: kept in the settings in memory, and
  // stored with them when remember is true.
  virtual void UsePassword(const std::string& password, bool remember) = 0;
  // Starts a new crawl, with new results, from the record; false when none could start.
  virtual bool StartCrawl(const CrawlStartParams& params) = 0;
  // Asks the running crawl to stop; returns at once.
  virtual void StopCrawl() = 0;
  // Remembers the cursor in use and shows the wait cursor until the crawl has ended.
  virtual void SaveCursorAndWait() = 0;
};
