// veltro-sitemap-cli: the crawl of the desktop program, from the command line.
#include <malloc.h>
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCrawl.h"
#include "cli/CliOptions.h"
#include "cli/InterruptWatcher.h"

int main(int argc, char** argv) {
  mallopt(M_ARENA_MAX, 2);  // glibc's arena per thread would hold memory for each worker
  // A large page's blocks are mapped on their own and given back when freed: glibc would raise
  // this threshold after the first large block freed, and later large pages would then come
  // from the heap, where what they leave behind stays resident.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  // Before any thread exists, so that every thread inherits the mask.
  InterruptWatcher::BlockInterruptSignal();
  signal(SIGPIPE, SIG_IGN);

  std::vector<std::string> args(argv + 1, argv + argc);
  CliParseOutcome parsed = ParseCliOptions(args);
  if (parsed.status == CliParseStatus::Help) {
    std::fputs(CliUsageText().c_str(), stdout);
    return kExitCrawlEnded;
  }
  if (parsed.status == CliParseStatus::UsageError) {
    std::fprintf(stderr, "veltro-sitemap-cli: %s\nTry 'veltro-sitemap-cli --help'.\n", parsed.message.c_str());
    return kExitUsage;
  }
  return RunCliCrawl(parsed.options);
}
