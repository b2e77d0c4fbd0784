#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "support/FileSizeLimit.h"

namespace {

// VmHWM of a running process: the most it has had resident since its exec. (The rusage of a
// waited-for child would also count the test process it was forked from.) 0 when unknown.
long PeakResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::filesystem::path& workDir, size_t fileSizeLimit) {
  std::string outPath = (capture_.path() / "stdout").string();
  std::string errPath = (capture_.path() / "stderr").string();
  std::string dir = workDir.string();
  std::vector<std::string> argStore;
  argStore.push_back(program);
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Only async-signal-safe calls between fork and exec: the test process has threads.
  pid_ = fork();
  if (pid_ == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(dir.c_str()) != 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (fileSizeLimit > 0) LimitFileSizeOfThisProcess(fileSizeLimit);
    execv(argv[0], argv.data());
    _exit(127);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void ChildProcess::Signal(int sig) const {
  if (pid_ > 0) kill(pid_, sig);
}

bool ChildProcess::ErrContains(const std::string& text) const {
  return ReadFileBytes(capture_.path() / "stderr").find(text) != std::string::npos;
}

ChildResult ChildProcess::Wait(std::chrono::seconds limit) {
  ChildResult result;
  if (pid_ <= 0) return result;
  auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    // The peak so far, while the child still has its memory (a zombie has none to show).
    result.peakRssKb = std::max(result.peakRssKb, PeakResidentKb(pid_));
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  if (WIFEXITED(status)) {
    result.exited = true;
    result.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  result.out = ReadFileBytes(capture_.path() / "stdout");
  result.err = ReadFileBytes(capture_.path() / "stderr");
  return result;
}

ChildResult RunCommand(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  ChildProcess child(CommandPath(), args, workDir);
  return child.Wait(std::chrono::seconds(60));
}

std::string CommandPath() { return VELTRO_CLI_PATH; }
