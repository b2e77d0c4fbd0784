#include "support/FileSizeLimit.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

void LimitFileSizeOfThisProcess(size_t maxBytes) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, nullptr);
  struct rlimit limit {};
  limit.rlim_cur = maxBytes;
  limit.rlim_max = maxBytes;
  setrlimit(RLIMIT_FSIZE, &limit);
}

LimitedRun RunWithFileSizeLimit(size_t maxBytes, const std::function<std::string()>& body,
                                std::chrono::seconds limit) {
  LimitedRun run;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return run;
  pid_t pid = fork();
  if (pid < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return run;
  }
  if (pid == 0) {
    close(pipeFds[0]);
    LimitFileSizeOfThisProcess(maxBytes);
    std::string report = body();
    const char* data = report.data();
    size_t left = report.size();
    while (left > 0) {
      ssize_t n = write(pipeFds[1], data, left);
      if (n <= 0) _exit(2);
      data += n;
      left -= static_cast<size_t>(n);
    }
    _exit(0);
  }
  close(pipeFds[1]);
  auto deadline = std::chrono::steady_clock::now() + limit;
  std::string report;
  int status = 0;
  for (;;) {
    char buf[4096];
    // Read as the child writes, so a long report cannot fill the pipe and stall it.
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(pipeFds[0], &ready);
    timeval wait{0, 20000};
    if (select(pipeFds[0] + 1, &ready, nullptr, nullptr, &wait) > 0) {
      ssize_t n = read(pipeFds[0], buf, sizeof buf);
      if (n > 0) {
        report.append(buf, static_cast<size_t>(n));
        continue;
      }
    }
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      close(pipeFds[0]);
      return run;
    }
  }
  for (;;) {  // what the child wrote just before it ended
    char buf[4096];
    ssize_t n = read(pipeFds[0], buf, sizeof buf);
    if (n <= 0) break;
    report.append(buf, static_cast<size_t>(n));
  }
  close(pipeFds[0]);
  run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.report = report;
  return run;
}
