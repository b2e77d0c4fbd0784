#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "common/StringICompare.h"
#include "common/WindowMessages.h"
#include "crawl/CrawlRules.h"

class CSitemapControl;

// What the crawl page hands to the crawl thread.
struct CrawlStartParams {
  WindowHandle notifyWindow = kNoWindow;
  int32_t maxDepth = 0;
  int32_t threadCount = 0;
  StringISet forbiddenExtensions;
  CrawlRules rules;
  std::string startUrl;  // as typed, narrow text
  std::shared_ptr<CSitemapControl> control;  // shared so the crawl keeps it alive
};

// The process-wide instance the crawl page fills.
CrawlStartParams& TheCrawlStartParams();

// Entry of the crawl thread; param is a CrawlStartParams*. -10000 for an empty start address
// or no crawl object (then nothing is posted), else 0.
int32_t CrawlThreadProc(void* param);
