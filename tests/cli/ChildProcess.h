#pragma once
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

// How a child process ended, with what it wrote.
struct ChildResult {
  bool exited = false;   // ended by exit (then exitStatus holds its status)
  int exitStatus = -1;
  int signal = 0;        // the signal that ended it, when not exited
  bool timedOut = false; // killed because it ran past the limit
  long peakRssKb = 0;    // the most memory the child had resident at once, in KiB, as last
                         // seen while it ran (looked at every 10 ms)
  std::string out;
  std::string err;
};

// The command under test as a child process in a given working folder, its standard output
// and error captured in files of its own. With a file size limit, no file the child writes
// may grow past that many bytes (its captured output included): writes past it fail.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& workDir,
               size_t fileSizeLimit = 0);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  void Signal(int sig) const;
  // True when stderr holds text (the command writes its first line before crawling).
  bool ErrContains(const std::string& text) const;
  // Waits for the end; past the limit the child is killed and timedOut set.
  ChildResult Wait(std::chrono::seconds limit);

 private:
  TempDir capture_;
  pid_t pid_ = -1;
};

// Runs the command to its end (limit 60 s) in workDir.
ChildResult RunCommand(const std::vector<std::string>& args, const std::filesystem::path& workDir);

// The path of the command under test.
std::string CommandPath();
