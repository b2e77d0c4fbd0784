#pragma once
// The application object: installs the crash reporter, runs the main window modally, and
// at the end makes sure no background thread outlives the program's clean shutdown.
class CsitemapApp {
 public:
  CsitemapApp() = default;
  ~CsitemapApp();
  // Everything between start-up and the end of the main window; the process exit code.
  int Run();
  bool crashReporterInstalled() const { return crashReporterInstalled_; }

  // How long the end waits for a running crawl or auto-save before leaving without it.
  static constexpr int kShutdownWaitMs = 4000;

 private:
  void InstallCrashReporter();
  bool crashReporterInstalled_ = false;
};
