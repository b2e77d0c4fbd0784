#pragma once
// What the crawl page needs from the main window that owns it.
#include <cstdint>
#include <memory>

#include "common/WindowMessages.h"

class CSitemapControl;
class CSetupManager;
class CThreadControlSitemap;

class CrawlPageHost {
 public:
  virtual ~CrawlPageHost() = default;
  virtual WindowHandle MainWindowHandle() const = 0;
  // Base of the elapsed time shown in the status line.
  virtual void SetStartTick(uint32_t tick) = 0;
  virtual std::shared_ptr<CSitemapControl> CrawlControl() const = 0;
  virtual const CSetupManager& Settings() const = 0;
  virtual CThreadControlSitemap& CrawlThread() = 0;
  // Remembers the cursor in use and shows the wait cursor until the crawl has ended.
  virtual void SaveCursorAndWait() = 0;
};
