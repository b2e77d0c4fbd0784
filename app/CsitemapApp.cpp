#include "app/CsitemapApp.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "app/CSitemapDlg.h"
#include "common/CrashReporter.h"
#include "store/CLevelDb.h"

CsitemapApp::~CsitemapApp() {
  if (crashReporterInstalled_) CrashReporterUninstall();
}

void CsitemapApp::InstallCrashReporter() {
  CrashReporterConfig config;
  config.appName = "Veltro Sitemap";
  config.appVersion = "0.9";
  config.emailSubject = "Veltro Sitemap 0.9 Error Report";
  config.restartCommandLine = "/restart";
  config.languageFile = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("crashrpt_lang_gb.ini")).toStdString();
  config.flags = 0x55FFF;
  if (CrashReporterInstall(config) == 0) {
    crashReporterInstalled_ = true;
  } else {
    std::string error = CrashReporterLastError().substr(0, 512);
    std::printf("%s\n", error.c_str());
    std::fflush(stdout);
  }
}

int CsitemapApp::Run() {
  InstallCrashReporter();
  auto window = std::make_unique<CSitemapDlg>();
  window->DoModal();
  // The close button has written the settings. A crawl or auto-save still running is asked
  // to end and given a bounded time; past it the process leaves without running destructors
  // under live threads (files are replaced whole, so none is left half-written).
  if (!window->FinishBackgroundWork(std::chrono::milliseconds(kShutdownWaitMs))) {
    window->settingsStore().Close();
    std::fflush(nullptr);
    _exit(0);
  }
  window.reset();
  return 0;
}
