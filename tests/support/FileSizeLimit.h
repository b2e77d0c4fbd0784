#pragma once
// Writes that fail half way: a process whose files may not grow past a limit. With SIGXFSZ
// ignored, a write that would pass the limit writes what fits and the next one fails with
// EFBIG, as a full disk would fail it. The limit holds for every file the process writes.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

// For the calling process only (call it in a child): files may not grow past maxBytes.
// Only async-signal-safe calls, so it may run between fork and exec.
void LimitFileSizeOfThisProcess(size_t maxBytes);

struct LimitedRun {
  bool finished = false;  // the child ran body to its end
  std::string report;     // what body returned
};

// Runs body in a forked child limited to maxBytes per file and gives back the text body
// returned (through a pipe, which the limit does not touch). A child that has not ended
// after the time limit is killed (finished stays false), so a fault cannot hang the test.
LimitedRun RunWithFileSizeLimit(size_t maxBytes, const std::function<std::string()>& body,
                                std::chrono::seconds limit = std::chrono::seconds(60));
