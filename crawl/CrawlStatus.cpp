#include "crawl/CrawlStatus.h"

#include "common/StringTable.h"
#include "crawl/CSitemapControl.h"

CrawlCounters ReadCounters(const CSitemapControl& control) { return control.Counters(); }

std::wstring FormatElapsed(uint32_t seconds) {
  uint32_t hours = 0;
  uint32_t minutes = 0;
  uint32_t rest = seconds;
  if (seconds >= 3600) {
    hours = seconds / 3600;
    minutes = (seconds % 3600) / 60;
    rest = seconds % 60;
  } else if (seconds >= 60) {
    minutes = seconds / 60;
    rest = seconds % 60;
  }
  return LoadStringById(115) + std::to_wstring(hours) + LoadStringById(116) + std::to_wstring(minutes) +
         LoadStringById(117) + std::to_wstring(rest) + LoadStringById(118);
}

int32_t FoundCount(const CrawlCounters& c) {
  return c.waiting + c.crawling + c.crawledOk + c.failed + c.notAllowed + c.tooDeep;
}

std::wstring FormatCounters(const CrawlCounters& c) {
  return LoadStringById(119) + std::to_wstring(FoundCount(c)) + LoadStringById(120) + std::to_wstring(c.crawling) +
         LoadStringById(121) + std::to_wstring(c.crawledOk + c.failed) + LoadStringById(122) +
         std::to_wstring(c.waiting) + LoadStringById(123) + std::to_wstring(c.notAllowed + c.tooDeep) +
         LoadStringById(124) + std::to_wstring(c.excluded) + LoadStringById(125);
}

int32_t ProgressPosition(const CrawlCounters& c) {
  const int32_t total = FoundCount(c);
  if (total == 0) return 0;
  const int32_t done = c.crawledOk + c.failed + c.notAllowed + c.tooDeep;
  float ratio = static_cast<float>(done) / static_cast<float>(total);
  if (ratio < 0.0f) ratio = 0.0f;
  const int32_t position = static_cast<int32_t>(ratio * 100.0f);
  return position > 100 ? 100 : position;
}
