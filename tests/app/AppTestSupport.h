#pragma once
// Shared pieces of the window tests: a loopback site, a main window in a fresh working
// folder with the blocking dialogs replaced by recorders, and waiting for a crawl to end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/CDlgSubAction.h"
#include "app/CSitemapDlg.h"
#include "app/platform/MessageBox.h"
#include "app/platform/ShellOps.h"
#include "support/LoopbackServer.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

// A page linking to the given paths.
std::string PageLinking(const std::vector<std::string>& paths);

// Serves "/" with links to /p1.html ... /p<pages>.html (each page linking back to "/"), and
// to /missing.html, which is not served (404).
void ServeSite(LoopbackServer& server, int pages, int delayMs = 0);

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // A main window made in the working folder (settings below it).
  CSitemapDlg& Window();
  void DestroyWindow() { window_.reset(); }
  // Types into the address box and presses Start.
  void StartCrawl(const std::string& address);
  // Runs the event loop until the crawl page is idle again (bounded, so a fault cannot hang).
  bool WaitUntilIdle(int limitMs = 60000);
  // A status label's whole text: its tip when the label shows it cut, else what it shows.
  std::wstring StatusLine(int id);
  // Stores auto-save every second behind path, for the window made next; false when the
  // settings could not be written.
  bool StoreAutoSaveEverySecond(const std::string& path = "");

  TempDir dir_;
  ScopedWorkingDir cwd_{dir_.path()};
  std::vector<std::wstring> messageBoxes_;
  // Yes/no questions asked, and the answer every one gets.
  std::vector<std::wstring> questions_;
  bool answer_ = false;
  std::vector<QString> opened_;
  std::unique_ptr<CSitemapDlg> window_;
};
