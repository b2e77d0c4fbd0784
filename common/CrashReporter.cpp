#include "common/CrashReporter.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>

namespace {

constexpr int kMaxThreads = 256;
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::atomic<long> registeredThreads[kMaxThreads];
std::atomic<bool> installed{false};
std::mutex configLock;
std::string lastError;
// Prepared at install time, so the signal handler only writes bytes.
char reportFolder[4096];
char reportPath[4096];
char reportHeader[1024];
struct sigaction previous[sizeof(kSignals) / sizeof(kSignals[0])];

long CurrentThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

void WriteAll(int fd, const char* text, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, text, n);
    if (w <= 0) return;
    text += w;
    n -= static_cast<size_t>(w);
  }
}

void WriteText(int fd, const char* text) { WriteAll(fd, text, strlen(text)); }

void WriteNumber(int fd, long value) {
  char digits[24];
  int i = sizeof(digits);
  bool negative = value < 0;
  unsigned long v = negative ? -static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
  do {
    digits[--i] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v && i > 1);
  if (negative) digits[--i] = '-';
  WriteAll(fd, digits + i, sizeof(digits) - i);
}

void OnFatalSignal(int sig) {
  // The folder is made only now that there is a report for it (mkdir is async-signal-safe).
  mkdir(reportFolder, 0755);
  int fd = open(reportPath, O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd >= 0) {
    WriteText(fd, reportHeader);
    WriteText(fd, "signal: ");
    WriteNumber(fd, sig);
    WriteText(fd, "\nthread: ");
    WriteNumber(fd, CurrentThreadId());
    WriteText(fd, "\nregistered threads:");
    for (auto& slot : registeredThreads) {
      long id = slot.load(std::memory_order_relaxed);
      if (id != 0) {
        WriteText(fd, " ");
        WriteNumber(fd, id);
      }
    }
    WriteText(fd, "\nbacktrace:\n");
    void* frames[64];
    int n = backtrace(frames, 64);
    backtrace_symbols_fd(frames, n, fd);
    WriteText(fd, "\n");
    close(fd);
  }
  // Die the way the signal would have killed us.
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

int CrashReporterInstall(const CrashReporterConfig& config) {
  std::lock_guard<std::mutex> guard(configLock);
  if (installed) return 0;
  std::string folder = config.reportFolder.empty() ? std::string("crashrpt") : config.reportFolder;
  std::string path = folder + "/crash-" + std::to_string(static_cast<long>(time(nullptr))) + "-" +
                     std::to_string(static_cast<long>(getpid())) + ".txt";
  std::string header = config.emailSubject + "\napplication: " + config.appName +
                       "\nversion: " + config.appVersion + "\n";
  if (path.size() >= sizeof(reportPath) || header.size() >= sizeof(reportHeader)) {
    lastError = "report path or header too long";
    return -1;
  }
  std::memcpy(reportFolder, folder.c_str(), folder.size() + 1);
  std::memcpy(reportPath, path.c_str(), path.size() + 1);
  std::memcpy(reportHeader, header.c_str(), header.size() + 1);
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i) {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof(sa));
    sa.sa_handler = OnFatalSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    sigaction(kSignals[i], &sa, &previous[i]);
  }
  installed = true;
  return 0;
}

int CrashReporterUninstall() {
  std::lock_guard<std::mutex> guard(configLock);
  if (!installed) return -1;
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
    sigaction(kSignals[i], &previous[i], nullptr);
  installed = false;
  return 0;
}

bool CrashReporterInstalled() { return installed; }

std::string CrashReporterLastError() {
  std::lock_guard<std::mutex> guard(configLock);
  return lastError;
}

int CrashReporterRegisterThread(unsigned /*flags*/) {
  long id = CurrentThreadId();
  for (auto& slot : registeredThreads) {
    long expected = 0;
    if (slot.compare_exchange_strong(expected, id)) return 0;
  }
  return -1;
}

int CrashReporterUnregisterThread() {
  long id = CurrentThreadId();
  for (auto& slot : registeredThreads) {
    long expected = id;
    if (slot.compare_exchange_strong(expected, 0)) return 0;
  }
  return -1;
}

int CrashReporterRegisteredThreads() {
  int n = 0;
  for (auto& slot : registeredThreads)
    if (slot.load() != 0) ++n;
  return n;
}
