#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "common/Status.h"
#include "crawl/ContentChange.h"
#include "crawl/CrawlCounters.h"
#include "crawl/JournalNotice.h"
#include "crawl/RenderStop.h"
#include "output/CrawlEnding.h"

// The crawl's status words, as both front ends show them (UTF-8).

// "已运行" h "小时" m "分钟" s "秒", decimal without padding.
std::string FormatElapsed(uint32_t seconds);
// "共找到" found "条网址 正在爬" crawling "条 爬过" crawled "条 等待爬的" waiting
// "条 不允许爬的" notAllowed+tooDeep "条 排除掉" excluded "条".
std::string FormatCounters(const CrawlCounters& counters);

// One short sentence for the status line.
std::string EndingStatusText(const CrawlEnding& ending);
// The message that explains a crawl that fetched nothing at address, naming the cause.
std::string EndingMessage(const CrawlEnding& ending, const std::string& address);

// The status line's note while the crawl waits out a busy site (429, 503): the seconds left,
// rounded up; empty when there is no pause.
std::string PauseText(std::chrono::milliseconds remaining);
// Said before and while a crawl runs with certificate verification off.
std::string InsecureText();

// What to say when the browser at executable cannot be used, naming the package to install.
std::string BrowserMissingText(const std::string& executable);
// Why the pages are not rendered; empty for RenderStop::None.
std::string RenderStopText(RenderStop why);

// "新网页" n "个 已更改" c "个 已消失" g "个": what changed since the site's last crawl
// (lastmod from content).
std::string ChangesCountText(const ContentChanges& changes);
// What became of the site's history when it could not be used as it was; empty when it could.
std::string HistoryNoticeText(const HistoryNotice& notice);
// That this crawl's pages could not be written back to the site's history, and why; empty
// when they were.
std::string HistoryWriteText(const HistoryNotice& notice);
// That the crawl's journal was not begun or stopped, so a crawl cut off cannot be resumed (or
// only from where it stopped), and why; empty for Kind::None.
std::string JournalProblemText(const JournalNotice& notice);
// A failure's own words for a message: the message, or the code's name when it came without.
std::string CauseText(const Status& status);
