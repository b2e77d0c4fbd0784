#pragma once
#include <string>

// A small crash reporter: once installed, a fatal signal writes a report (application,
// version, signal, the registered threads, a backtrace) into the report folder and then
// lets the process die as it would have. Threads register themselves so a report names them.
struct CrashReporterConfig {
  std::string appName;        // "Veltro Sitemap"
  std::string appVersion;     // "0.9"
  std::string emailSubject;   // subject line written at the top of the report
  std::string reportFolder;   // where reports are written; empty: "crashrpt" below the working directory
  std::string restartCommandLine;
  std::string languageFile;
  unsigned flags = 0;
};

// 0 on success; negative on failure, with CrashReporterLastError telling why.
int CrashReporterInstall(const CrashReporterConfig& config);
int CrashReporterUninstall();
bool CrashReporterInstalled();
std::string CrashReporterLastError();

// Per-thread registration; harmless when the reporter is not installed.
int CrashReporterRegisterThread(unsigned flags);
int CrashReporterUnregisterThread();
// How many threads are registered now.
int CrashReporterRegisteredThreads();
