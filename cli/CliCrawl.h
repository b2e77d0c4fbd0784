#pragma once
#include "cli/CliOptions.h"

// Exit statuses of the command.
inline constexpr int kExitCrawlEnded = 0;
inline constexpr int kExitFilesNotWritten = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoHost = 3;
inline constexpr int kExitNothingFetched = 4;  // the site gave no page: unreachable, or every page failed
inline constexpr int kExitPushFailed = 5;      // a search engine refused the push, or could not be reached
inline constexpr int kExitInterrupted = 130;

// Crawls each start address as a crawl of its own, side by side, and writes each site's
// three result files when its crawl ends. Returns the worst exit status of the crawls.
// InterruptWatcher::BlockInterruptSignal must have run before any thread was started.
int RunCliCrawl(const CliOptions& options);
