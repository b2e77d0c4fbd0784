// The settings sheet as the main window opens it (built with the application's windows).
#include <gtest/gtest.h>

#include <QAbstractButton>
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

}  // namespace

TEST(MainWindowSheet, SettingsButtonOpensTheSheetOnItsFirstPageAndOnlyTheCloseButtonStores) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  SheetRun run;
  SetSetupSheetRunHook([&run](CSetupPropSheet& sheet) {
    ++run.opened;
    run.activePage = sheet.activePage();
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"42");
    {
      AddDialogAnswer answer({L"abc"});
      Click(sheet.runPage(), CSetupRunPage::kIdAdd);
    }
    Click(sheet, CPlatformDialog::kIdOk);
    return sheet.result();
  });
  {
    auto window = std::make_unique<CSitemapDlg>();
    Click(*window, CSitemapDlg::kIdSettings);
    EXPECT_EQ(run.opened, 1);
    EXPECT_EQ(run.activePage, 0);
    EXPECT_EQ(window->setup().maxDepth, 42);
    EXPECT_EQ(window->setup().forbiddenExtensions.count(".abc"), 1u);

    std::map<std::string, std::string> stored;
    window->settingsStore().ReadAll(stored);
    EXPECT_EQ(stored.count(kKeyMaxDepth), 0u) << "the sheet wrote the database";

    Click(*window, CSitemapDlg::kIdClose);
    stored.clear();
    window->settingsStore().ReadAll(stored);
    EXPECT_EQ(stored[kKeyMaxDepth], "42");
    EXPECT_NE(stored[kKeyForbiddenExtensions].find(" 4 .abc"), std::string::npos);
  }
  SetSetupSheetRunHook(nullptr);
}
