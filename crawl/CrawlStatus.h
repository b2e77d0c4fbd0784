#pragma once
#include <cstdint>
#include <string>

#include "crawl/CrawlCounters.h"

class CSitemapControl;

// The seven counters of a crawl, read as one.
CrawlCounters ReadCounters(const CSitemapControl& control);
// "已运行" h "小时" m "分钟" s "秒", decimal without padding.
std::wstring FormatElapsed(uint32_t seconds);
// "共找到" found "条网址 正在爬" crawling "条 爬过" crawled "条 等待爬的" waiting
// "条 不允许爬的" notAllowed+tooDeep "条 排除掉" excluded "条".
std::wstring FormatCounters(const CrawlCounters& counters);
// found = waiting+crawling+crawledOk+failed+notAllowed+tooDeep; 0 when found is 0, else
// (crawledOk+failed+notAllowed+tooDeep)/found in single precision, times 100, truncated, 0..100.
int32_t ProgressPosition(const CrawlCounters& counters);
// found as above.
int32_t FoundCount(const CrawlCounters& counters);
