// The settings sheet as the main window opens it (built with the application's windows).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/CSitemapDlg.h"
#include "app/settings/CSetupPropSheet.h"
#include "app/settings/RunSetupPropSheet.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"
#include "support/TempDir.h"
#include "tests/app/settings/SheetTestSupport.h"

namespace {

struct SheetRun {
  int opened = 0;
  int activePage = -1;
};

// What a kill -9 leaves: the settings database as the window's folder holds it now, read from
// a copy (the window keeps its own open).
std::map<std::string, std::string> StoredAfterAKill(const std::filesystem::path& copy) {
  std::filesystem::copy(kSettingsDbPath, copy, std::filesystem::copy_options::recursive);
  CLevelDb db;
  std::map<std::string, std::string> stored;
  if (db.Open(copy.string()).ok()) db.ReadAll(stored);
  return stored;
}

}  // namespace

TEST(MainWindowSheet, SettingsButtonOpensTheSheetOnItsFirstPageAndOkStoresAtOnceWithTheNewAutoSavePeriod) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  SheetRun run;
  bool cancel = false;
  SetSetupSheetRunHook([&](CSetupPropSheet& sheet) {
    ++run.opened;
    run.activePage = sheet.activePage();
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, cancel ? L"50" : L"42");
    sheet.autoSavePage().SetItemText(CSetupAutoSavePage::kIdInterval, cancel ? L"20" : L"10");
    {
      AddDialogAnswer answer({cancel ? L"zzz" : L".abc"});
      Click(sheet.runPage(), CSetupRunPage::kIdAdd);
    }
    Click(sheet, cancel ? CPlatformDialog::kIdCancel : CPlatformDialog::kIdOk);
    return sheet.result();
  });
  {
    auto window = std::make_unique<CSitemapDlg>();
    EXPECT_EQ(window->autoSavePeriodMs(), 180000);
    Click(*window, CSitemapDlg::kIdSettings);
    EXPECT_EQ(run.opened, 1);
    EXPECT_EQ(run.activePage, 0);
    EXPECT_EQ(window->setup().maxDepth, 42);
    EXPECT_EQ(window->setup().forbiddenExtensions.count(".abc"), 1u);
    EXPECT_TRUE(window->HasTimer(CSitemapDlg::kTimerAutoSave));
    EXPECT_EQ(window->autoSavePeriodMs(), 600000);

    std::map<std::string, std::string> stored = StoredAfterAKill(dir.path() / "after-ok");
    EXPECT_EQ(stored[kKeyMaxDepth], "42");
    EXPECT_EQ(stored[kKeyAutoSaveInterval], "600");
    EXPECT_NE(stored[kKeyForbiddenExtensions].find(" 4 .abc"), std::string::npos) << stored[kKeyForbiddenExtensions];

    cancel = true;
    Click(*window, CSitemapDlg::kIdSettings);
    EXPECT_EQ(run.opened, 2);
    EXPECT_EQ(window->setup().maxDepth, 42);
    EXPECT_EQ(window->setup().forbiddenExtensions.count(".zzz"), 0u);
    EXPECT_EQ(window->autoSavePeriodMs(), 600000);
    EXPECT_EQ(StoredAfterAKill(dir.path() / "after-cancel"), stored);
  }
  SetSetupSheetRunHook(nullptr);
}

TEST(MainWindowSheet, ApplyThatCannotStoreSaysSoAsTheCloseButtonDoes) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  MessageBoxRecorder boxes;
  SetSetupSheetRunHook([](CSetupPropSheet& sheet) {
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"43");
    Click(sheet, CVtPropertySheet::kIdApply);
    Click(sheet, CPlatformDialog::kIdCancel);
    return sheet.result();
  });
  {
    auto window = std::make_unique<CSitemapDlg>();
    window->settingsStore().Close();  // as if the database could not be opened at start
    Click(*window, CSitemapDlg::kIdSettings);
    EXPECT_EQ(window->setup().maxDepth, 43);  // applied, though not stored
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(boxes.shown[0].empty());
    Click(*window, CSitemapDlg::kIdClose);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], boxes.shown[1]);
  }
  SetSetupSheetRunHook(nullptr);
}
