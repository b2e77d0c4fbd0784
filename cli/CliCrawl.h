#pragma once
#include "cli/CliOptions.h"

// Exit statuses of the command.
inline constexpr int kExitCrawlEnded = 0;
inline constexpr int kExitFilesNotWritten = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoHost = 3;
inline constexpr int kExitInterrupted = 130;

// Runs one crawl as the window's Start button would, plays the window's part in the crawl
// messages, and writes the three result files when the crawl ends. Returns the exit status.
// InterruptWatcher::BlockInterruptSignal must have run before any thread was started.
int RunCliCrawl(const CliOptions& options);
