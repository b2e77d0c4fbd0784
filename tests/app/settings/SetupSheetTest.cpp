#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/platform/WideText.h"
#include "app/platform/CFolderEdit.h"
#include "app/platform/VisualStyle.h"
#include "app/settings/CSetupPropSheet.h"
#include "common/SystemInfo.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"
#include "support/TempDir.h"
#include "tests/app/settings/SheetTestSupport.h"
#include "common/Status.h"

namespace {

std::shared_ptr<CSetupManager> DefaultSetup() {
  auto setup = std::make_shared<CSetupManager>();
  setup->ResetToDefaults();
  return setup;
}

class SetupSheetTest : public ::testing::Test {
 protected:
  void SetUp() override { ApplyVisualStyle(0); }
  void TearDown() override { ApplyVisualStyle(0); }

  std::shared_ptr<CSetupManager> setup = DefaultSetup();
};

// The run page's default: 4 x the processors, within its range of 1 to 20.
int FourPerProcessor() { return std::min(20, 4 * ProcessorCount()); }

}  // namespace

TEST_F(SetupSheetTest, SheetOpensWithItsTitleEightPagesNavigationApplyAndNoHelp) {
  CSetupPropSheet sheet(setup);
  EXPECT_EQ(sheet.windowTitle(), QStringLiteral("选项设置"));
  ASSERT_EQ(sheet.pageCount(), 8);
  EXPECT_EQ(sheet.activePage(), 0);
  EXPECT_EQ(sheet.navigation()->width(), 150);
  EXPECT_EQ(sheet.navigation()->count(), 8);
  EXPECT_EQ(sheet.navigation()->item(3)->text(), QStringLiteral("抓取规则"));
  EXPECT_EQ(sheet.navigation()->item(4)->text(), QStringLiteral("网址规则"));
  EXPECT_EQ(sheet.navigation()->item(5)->text(), QStringLiteral("网站地图内容"));
  EXPECT_EQ(sheet.navigation()->item(6)->text(), QStringLiteral("连接"));
  EXPECT_EQ(sheet.navigation()->item(7)->text(), QStringLiteral("提交到搜索引擎"));
  EXPECT_TRUE(sheet.IsItemEnabled(CVtPropertySheet::kIdApply));
  EXPECT_TRUE(sheet.Control(CVtPropertySheet::kIdHelp)->isHidden());
  EXPECT_EQ(CSetupPropSheet::PageTitle(0), QStringLiteral("界面设置"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(1), QStringLiteral("运行设置"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(2), QStringLiteral("自动保存设置"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(3), QStringLiteral("抓取规则"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(4), QStringLiteral("网址规则"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(5), QStringLiteral("网站地图内容"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(6), QStringLiteral("连接"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(7), QStringLiteral("提交到搜索引擎"));
  EXPECT_EQ(CSetupPropSheet::PageTitle(8), QString());
  sheet.navigation()->setCurrentRow(2);
  EXPECT_EQ(sheet.activePage(), 2);
  sheet.navigation()->setCurrentRow(3);
  EXPECT_EQ(sheet.activePage(), 3);
}

TEST_F(SetupSheetTest, EveryPageIsLoadedAtOpeningAndStoredByOkWithoutBeingShown) {
  setup->maxDepth = 7;
  setup->threadCount = 3;
  setup->autoSaveInterval = 200;
  setup->autoSavePath = "/tmp/maps/";
  CSetupPropSheet sheet(setup);
  CSetupRunPage& run = sheet.runPage();
  CSetupAutoSavePage& autoSave = sheet.autoSavePage();
  EXPECT_EQ(run.GetItemText(CSetupRunPage::kIdDepth), L"7");
  EXPECT_EQ(run.GetItemText(CSetupRunPage::kIdThreads), L"3");
  EXPECT_EQ(run.typeList()->count(), 50);
  EXPECT_EQ(autoSave.GetItemText(CSetupAutoSavePage::kIdInterval), L"3");  // 200 seconds, whole minutes
  EXPECT_EQ(autoSave.GetItemText(CSetupAutoSavePage::kIdPath), L"/tmp/maps/");
  EXPECT_TRUE(autoSave.IsItemChecked(CSetupAutoSavePage::kIdEnabled));
  EXPECT_TRUE(autoSave.IsItemChecked(CSetupAutoSavePage::kIdGzip));

  run.SetItemText(CSetupRunPage::kIdDepth, L"12");
  autoSave.SetItemText(CSetupAutoSavePage::kIdInterval, L"10");
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(sheet.result(), CPlatformDialog::kIdOk);
  EXPECT_EQ(setup->maxDepth, 12);
  EXPECT_EQ(setup->autoSaveInterval, 600);
}

TEST_F(SetupSheetTest, EveryNumberOutsideItsRangeIsRefusedWithTheRangeOnItsEntryAndNothingIsApplied) {
  setup->maxDepth = 7;
  setup->threadCount = 3;
  setup->minIntervalMs = 100;
  MessageBoxRecorder boxes;
  std::vector<std::wstring>& shown = boxes.shown;
  CSetupPropSheet sheet(setup);
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
  CSetupRunPage& run = sheet.runPage();
  CSetupAutoSavePage& autoSave = sheet.autoSavePage();
  CSetupRulesPage& rules = sheet.rulesPage();
  // The pages show the ranges beside their edits.
  QStringList labels;
  for (const QLabel* label : sheet.findChildren<QLabel*>()) labels << label->text();
  for (const char* range : {"(1\u2013999)", "(1\u201320)", "(1\u201360)", "0 到 60000；0 为不等待"})
    EXPECT_TRUE(labels.contains(QString::fromUtf8(range))) << range << " in " << labels.join(u' ').toStdString();

  auto fillValid = [&] {
    run.SetItemText(CSetupRunPage::kIdDepth, L"8");
    run.SetItemText(CSetupRunPage::kIdThreads, L"4");
    autoSave.SetItemText(CSetupAutoSavePage::kIdInterval, L"10");
    rules.SetItemText(CSetupRulesPage::kIdInterval, L"250");
  };
  struct Case {
    CVtPropertyPage* page;
    int pageIndex;
    int id;
    const wchar_t* text;
    const wchar_t* message;
  };
  const wchar_t* depth = L"最大深度应为1到999之间的整数。";
  const wchar_t* threads = L"线程数应为1到20之间的整数。";
  const wchar_t* minutes = L"自动保存间隔(分钟)应为1到60之间的整数。";
  const wchar_t* request = L"请求最小间隔(毫秒)应为0到60000之间的整数。";
  const Case refused[] = {
      {&run, 1, CSetupRunPage::kIdDepth, L"0", depth},          {&run, 1, CSetupRunPage::kIdDepth, L"1000", depth},
      {&run, 1, CSetupRunPage::kIdDepth, L"", depth},           {&run, 1, CSetupRunPage::kIdThreads, L"21", threads},
      {&run, 1, CSetupRunPage::kIdThreads, L"0", threads},      {&run, 1, CSetupRunPage::kIdThreads, L"-3", threads},
      {&autoSave, 2, CSetupAutoSavePage::kIdInterval, L"0", minutes},
      {&autoSave, 2, CSetupAutoSavePage::kIdInterval, L"61", minutes},
      {&autoSave, 2, CSetupAutoSavePage::kIdInterval, L"", minutes},
      {&autoSave, 2, CSetupAutoSavePage::kIdInterval, L"1073741825", minutes},
      {&rules, 3, CSetupRulesPage::kIdInterval, L"60001", request},
      {&rules, 3, CSetupRulesPage::kIdInterval, L"99999999999", request},
      {&rules, 3, CSetupRulesPage::kIdInterval, L"", request}};
  for (int button : {static_cast<int>(CVtPropertySheet::kIdApply), static_cast<int>(CPlatformDialog::kIdOk)}) {
    for (const Case& c : refused) {
      const std::string label = "button " + std::to_string(button) + " entry " + std::to_string(c.id) + " on page " +
                                std::to_string(c.pageIndex) + " text " + QString::fromWCharArray(c.text).toStdString();
      sheet.SetActivePage(0);
      fillValid();
      c.page->SetItemText(c.id, c.text);
      shown.clear();
      Click(sheet, button);
      ASSERT_EQ(shown.size(), 1u) << label;
      EXPECT_EQ(shown[0], c.message) << label;
      EXPECT_FALSE(sheet.ended()) << label;
      EXPECT_EQ(sheet.activePage(), c.pageIndex) << label;  // the page with the refused entry
      EXPECT_TRUE(c.page->Control(c.id)->hasFocus()) << label;
      // Nothing of any page was applied.
      EXPECT_EQ(setup->maxDepth, 7) << label;
      EXPECT_EQ(setup->threadCount, 3) << label;
      EXPECT_EQ(setup->autoSaveInterval, 180) << label;
      EXPECT_EQ(setup->minIntervalMs, 100) << label;
    }
  }
  // The ends of every range are taken.
  run.SetItemText(CSetupRunPage::kIdDepth, L" 999 ");
  run.SetItemText(CSetupRunPage::kIdThreads, L"20");
  autoSave.SetItemText(CSetupAutoSavePage::kIdInterval, L"60");
  rules.SetItemText(CSetupRulesPage::kIdInterval, L"60000");
  shown.clear();
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(setup->maxDepth, 999);
  EXPECT_EQ(setup->threadCount, 20);
  EXPECT_EQ(setup->autoSaveInterval, 3600);
  EXPECT_EQ(setup->minIntervalMs, 60000);
  run.SetItemText(CSetupRunPage::kIdDepth, L"1");
  run.SetItemText(CSetupRunPage::kIdThreads, L"1");
  autoSave.SetItemText(CSetupAutoSavePage::kIdInterval, L"1");
  rules.SetItemText(CSetupRulesPage::kIdInterval, L"0");
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(setup->maxDepth, 1);
  EXPECT_EQ(setup->threadCount, 1);
  EXPECT_EQ(setup->autoSaveInterval, 60);
  EXPECT_EQ(setup->minIntervalMs, 0);
}

TEST_F(SetupSheetTest, StoredValuesOutsideTheRangesShowTheReplacements) {
  setup->maxDepth = 0;
  setup->threadCount = 50;
  CSetupPropSheet sheet(setup);
  EXPECT_EQ(sheet.runPage().GetItemText(CSetupRunPage::kIdDepth), L"5");
  EXPECT_EQ(sheet.runPage().GetItemText(CSetupRunPage::kIdThreads), std::to_wstring(FourPerProcessor()));
}

TEST_F(SetupSheetTest, NumberEditsTakeOnlyDigitsAndKeepEveryDigitTyped) {
  CSetupPropSheet sheet(setup);
  struct Case {
    CVtPropertyPage* page;
    int id;
    const char* typed;
    const char* kept;
  };
  // A digit past the range is kept, so that OK can name the range instead of storing a
  // number the user never typed.
  const Case cases[] = {{&sheet.runPage(), CSetupRunPage::kIdDepth, "1a-2", "12"},
                        {&sheet.runPage(), CSetupRunPage::kIdDepth, "1000", "1000"},
                        {&sheet.runPage(), CSetupRunPage::kIdThreads, "2 1", "21"},
                        {&sheet.autoSavePage(), CSetupAutoSavePage::kIdInterval, "6x1", "61"},
                        {&sheet.rulesPage(), CSetupRulesPage::kIdInterval, "1a-2.5", "125"},
                        {&sheet.rulesPage(), CSetupRulesPage::kIdInterval, "1234567", "1234567"}};
  for (const Case& c : cases) {
    auto* edit = c.page->ControlAs<QLineEdit>(c.id);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit->text(), QString::fromLatin1(c.kept)) << c.id << " " << c.typed;
  }
}

TEST_F(SetupSheetTest, IntervalMinutesBecomeSeconds) {
  CSetupPropSheet sheet(setup);
  CSetupAutoSavePage& page = sheet.autoSavePage();
  const std::pair<const wchar_t*, int32_t> cases[] = {{L"60", 3600}, {L"1", 60}, {L" 7 ", 420}};
  for (const auto& [minutes, seconds] : cases) {
    page.SetItemText(CSetupAutoSavePage::kIdInterval, minutes);
    Click(sheet, CVtPropertySheet::kIdApply);
    EXPECT_EQ(setup->autoSaveInterval, seconds) << QString::fromWCharArray(minutes).toStdString();
  }
  // A stored interval the page would refuse opens as the default it takes.
  setup->autoSaveInterval = 30;
  page.LoadControls();
  EXPECT_EQ(page.GetItemText(CSetupAutoSavePage::kIdInterval), L"3");
}

TEST_F(SetupSheetTest, TypesAddedWithOneDotOrDeletedReachTheSettingsOnlyAtApplySoCancelKeepsThem) {
  const StringISet before = setup->forbiddenExtensions;
  {
    CSetupPropSheet sheet(setup);
    CSetupRunPage& run = sheet.runPage();
    {
      AddDialogAnswer answer({L"xyz", L"", L" .abc ", L"PDF"});
      Click(run, CSetupRunPage::kIdAdd);
      EXPECT_EQ(answer.opened, 1);
    }
    QStringList texts = ListTexts(run.typeList());
    EXPECT_TRUE(texts.contains(QStringLiteral(".xyz")));
    EXPECT_TRUE(texts.contains(QStringLiteral(".abc")));  // the typed dot is not doubled
    EXPECT_FALSE(texts.contains(QStringLiteral("..abc")));
    EXPECT_EQ(texts.count(QStringLiteral(".pdf")), 1);
    EXPECT_EQ(texts.count(QStringLiteral(".PDF")), 1);  // shown next to ".pdf" until Apply
    EXPECT_EQ(run.typeList()->count(), 53);
    EXPECT_EQ(setup->forbiddenExtensions, before);  // nothing before Apply or OK
    Click(sheet, CPlatformDialog::kIdCancel);
    EXPECT_TRUE(sheet.ended());
    EXPECT_EQ(sheet.result(), CPlatformDialog::kIdCancel);
  }
  EXPECT_EQ(setup->forbiddenExtensions, before);
  {
    CSetupPropSheet sheet(setup);
    AddDialogAnswer answer({L"..php", L".abc"});
    Click(sheet.runPage(), CSetupRunPage::kIdAdd);
    sheet.runPage().SendCommand(CPlatformDialog::kIdCancel);  // Escape in the page
    EXPECT_TRUE(sheet.ended());
  }
  EXPECT_EQ(setup->forbiddenExtensions, before);
  {
    CSetupPropSheet sheet(setup);
    for (int row : {0, 1, 2}) sheet.runPage().typeList()->item(row)->setSelected(true);
    Click(sheet.runPage(), CSetupRunPage::kIdDelete);
    EXPECT_EQ(sheet.runPage().typeList()->count(), 47);
    Click(sheet, CPlatformDialog::kIdCancel);
  }
  EXPECT_EQ(setup->forbiddenExtensions, before);
  {
    CSetupPropSheet sheet(setup);
    AddDialogAnswer answer({L"..php", L".abc", L"xyz"});
    Click(sheet.runPage(), CSetupRunPage::kIdAdd);
    Click(sheet, CPlatformDialog::kIdOk);
  }
  EXPECT_EQ(setup->forbiddenExtensions.size(), 53u);
  for (const char* type : {".php", ".abc", ".xyz"}) EXPECT_EQ(setup->forbiddenExtensions.count(type), 1u) << type;
  EXPECT_EQ(setup->forbiddenExtensions.count("..php"), 0u);
}

TEST_F(SetupSheetTest, AddDialogRefusesWhatIsNoFileTypeNamingWhatItTakesAndStaysOpen) {
  MessageBoxRecorder boxes;
  const wchar_t* refused[] = {L"a b", L"*",  L"*.php", L"a/b",    L"a\\b", L"ph?", L".",
                              L"...", L"a\tb", L"a\u3000b", L"a\u00A0b"};
  for (const wchar_t* text : refused) {
    const std::string label = QString::fromWCharArray(text).toStdString();
    CDlgRunAddExt dialog;
    dialog.SetItemText(CDlgRunAddExt::kEditIds[0], L"ok");
    dialog.SetItemText(CDlgRunAddExt::kEditIds[2], text);
    boxes.shown.clear();
    Click(dialog, CPlatformDialog::kIdOk);
    EXPECT_FALSE(dialog.ended()) << label;
    EXPECT_TRUE(dialog.entries().empty()) << label;
    ASSERT_EQ(boxes.shown.size(), 1u) << label;
    const std::wstring& message = boxes.shown[0];
    EXPECT_NE(message.find(L"“" + TrimWhitespace(std::wstring(text)) + L"”"), std::wstring::npos) << label;
    for (const wchar_t* named : {L"php", L"点", L"空格", L"*", L"/", L"\\", L"?"})
      EXPECT_NE(message.find(named), std::wstring::npos) << label << " does not name " << QString::fromWCharArray(named).toStdString();
    // Corrected, the same dialog closes with both entries.
    dialog.SetItemText(CDlgRunAddExt::kEditIds[2], L".php");
    boxes.shown.clear();
    Click(dialog, CPlatformDialog::kIdOk);
    EXPECT_TRUE(boxes.shown.empty()) << label;
    EXPECT_TRUE(dialog.ended()) << label;
    EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"ok", ".php"})) << label;
  }
  // Refused in the run page's dialog, nothing reaches the list.
  CSetupPropSheet sheet(setup);
  {
    AddDialogAnswer answer({L"php", L"a b"});
    Click(sheet.runPage(), CSetupRunPage::kIdAdd);
  }
  EXPECT_EQ(sheet.runPage().typeList()->count(), 50);
}

TEST_F(SetupSheetTest, AddingAListedTypeShowsItTwiceButTheSetHoldsItOnce) {
  CSetupPropSheet sheet(setup);
  CSetupRunPage& run = sheet.runPage();
  AddDialogAnswer answer({L"rar"});
  Click(run, CSetupRunPage::kIdAdd);
  EXPECT_EQ(ListTexts(run.typeList()).count(QStringLiteral(".rar")), 2);
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_EQ(setup->forbiddenExtensions.size(), 50u);
  EXPECT_EQ(setup->forbiddenExtensions.count(".rar"), 1u);
}

TEST_F(SetupSheetTest, AddDialogCancelledOrEmptyChangesNothing) {
  CSetupPropSheet sheet(setup);
  CSetupRunPage& run = sheet.runPage();
  {
    AddDialogAnswer cancelled({L"abc"}, true);
    Click(run, CSetupRunPage::kIdAdd);
    EXPECT_EQ(cancelled.opened, 1);
  }
  {
    AddDialogAnswer empty({L"", L"  ", L"", L""});
    Click(run, CSetupRunPage::kIdAdd);
  }
  EXPECT_EQ(run.typeList()->count(), 50);
  EXPECT_EQ(setup->forbiddenExtensions.size(), 50u);
}

TEST_F(SetupSheetTest, AddDialogReadsItsEditsLeftToRightTrimmedWithoutEmptyOnes) {
  CDlgRunAddExt dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("增加禁止访问的文件类型"));
  // The edits lie left to right in the order 1024, 1021, 1022, 1023.
  int left = -1;
  for (int id : CDlgRunAddExt::kEditIds) {
    ASSERT_NE(dialog.Control(id), nullptr);
    EXPECT_GT(dialog.Control(id)->x(), left);
    left = dialog.Control(id)->x();
  }
  dialog.SetItemText(1024, L" one ");
  dialog.SetItemText(1021, L"");
  dialog.SetItemText(1022, L"three");
  dialog.SetItemText(1023, L"四");
  Click(dialog, CPlatformDialog::kIdOk);
  EXPECT_EQ(dialog.result(), CPlatformDialog::kIdOk);
  ASSERT_EQ(dialog.entries().size(), 3u);
  EXPECT_EQ(dialog.Entry(0), "one");
  EXPECT_EQ(dialog.Entry(1), "three");
  EXPECT_EQ(dialog.Entry(2), "四");
  EXPECT_EQ(dialog.Entry(3), "");
}

TEST_F(SetupSheetTest, DeleteRemovesExactlyTheSelectedEntriesAndTheSettingsOnlyAtApply) {
  CSetupPropSheet sheet(setup);
  CSetupRunPage& run = sheet.runPage();
  QListWidget* list = run.typeList();
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
  QStringList before = ListTexts(list);
  ASSERT_EQ(before.first(), QStringLiteral(".7z"));  // sorted
  for (int row : {0, 5, 49}) list->item(row)->setSelected(true);
  QStringList removed = {before[0], before[5], before[49]};
  Click(run, CSetupRunPage::kIdDelete);
  QStringList after = ListTexts(list);
  EXPECT_EQ(after.size(), 47);
  for (const QString& gone : removed) EXPECT_FALSE(after.contains(gone)) << gone.toStdString();
  EXPECT_EQ(setup->forbiddenExtensions.size(), 50u);

  Click(run, CSetupRunPage::kIdDelete);  // nothing selected: nothing removed
  EXPECT_EQ(list->count(), 47);
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_EQ(setup->forbiddenExtensions.size(), 47u);
  EXPECT_EQ(setup->forbiddenExtensions.count(removed[0].toStdString()), 0u);
}

TEST_F(SetupSheetTest, RunPageRestoreDefaultsPutsBackTheDefaultsIntoTheControlsOnly) {
  setup->maxDepth = 9;
  setup->threadCount = 2;
  CSetupPropSheet sheet(setup);
  CSetupRunPage& run = sheet.runPage();
  {
    AddDialogAnswer answer({L"abc", L"def"});
    Click(run, CSetupRunPage::kIdAdd);
  }
  run.typeList()->item(0)->setSelected(true);
  Click(run, CSetupRunPage::kIdDelete);
  Click(run, CSetupRunPage::kIdDefaults);
  EXPECT_EQ(run.GetItemText(CSetupRunPage::kIdDepth), L"5");
  EXPECT_EQ(run.GetItemText(CSetupRunPage::kIdThreads), std::to_wstring(FourPerProcessor()));
  QStringList texts = ListTexts(run.typeList());
  EXPECT_EQ(texts.size(), 50);
  for (const std::string& type : setup->defaultExtensions) EXPECT_TRUE(texts.contains(QString::fromStdString(type)));
  EXPECT_EQ(setup->maxDepth, 9);  // the settings change at Apply or OK
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_EQ(setup->maxDepth, 5);
  EXPECT_EQ(setup->threadCount, FourPerProcessor());
  EXPECT_EQ(setup->forbiddenExtensions, setup->defaultExtensions);
}

TEST_F(SetupSheetTest, AutoSaveRestoreDefaultsStoresOn180SecondsGzipAndEmptyPath) {
  setup->autoSaveEnabled = 1;
  setup->autoSaveGzip = 0;
  setup->autoSaveInterval = 600;
  setup->autoSavePath = "/tmp/x/";
  CSetupPropSheet sheet(setup);
  CSetupAutoSavePage& page = sheet.autoSavePage();
  page.CheckItem(CSetupAutoSavePage::kIdEnabled, false);
  Click(page, CSetupAutoSavePage::kIdDefaults);
  EXPECT_TRUE(page.IsItemChecked(CSetupAutoSavePage::kIdEnabled));
  EXPECT_TRUE(page.IsItemChecked(CSetupAutoSavePage::kIdGzip));
  EXPECT_EQ(page.GetItemText(CSetupAutoSavePage::kIdInterval), L"3");  // the edit takes minutes
  EXPECT_EQ(page.GetItemText(CSetupAutoSavePage::kIdPath), L"");
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(setup->autoSaveEnabled, 1);
  EXPECT_EQ(setup->autoSaveInterval, 180);
  EXPECT_EQ(setup->autoSaveGzip, 1);
  EXPECT_EQ(setup->autoSavePath, "");
}

TEST_F(SetupSheetTest, OkWithAutoSaveOffStoresOnlyTheSwitch) {
  setup->autoSaveInterval = 300;
  setup->autoSaveGzip = 1;
  setup->autoSavePath = "/tmp/keep/";
  CSetupPropSheet sheet(setup);
  CSetupAutoSavePage& page = sheet.autoSavePage();
  Click(page, CSetupAutoSavePage::kIdEnabled);  // off
  page.SetItemText(CSetupAutoSavePage::kIdInterval, L"7");
  page.SetItemText(CSetupAutoSavePage::kIdPath, L"/tmp/other/");
  Click(page, CSetupAutoSavePage::kIdGzip);
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_EQ(setup->autoSaveEnabled, 0);
  EXPECT_EQ(setup->autoSaveInterval, 300);
  EXPECT_EQ(setup->autoSaveGzip, 1);
  EXPECT_EQ(setup->autoSavePath, "/tmp/keep/");
}

TEST_F(SetupSheetTest, AutoSaveOffOpensEmptyAndSwitchingItOnAsksForAnIntervalThenStoresTheControls) {
  setup->autoSaveEnabled = 0;
  setup->autoSaveInterval = 300;
  setup->autoSaveGzip = 1;
  setup->autoSavePath = "/tmp/keep/";
  MessageBoxRecorder boxes;
  CSetupPropSheet sheet(setup);
  CSetupAutoSavePage& page = sheet.autoSavePage();
  EXPECT_FALSE(page.IsItemChecked(CSetupAutoSavePage::kIdEnabled));
  EXPECT_FALSE(page.IsItemChecked(CSetupAutoSavePage::kIdGzip));
  EXPECT_EQ(page.GetItemText(CSetupAutoSavePage::kIdInterval), L"");
  EXPECT_EQ(page.GetItemText(CSetupAutoSavePage::kIdPath), L"");
  EXPECT_FALSE(page.ControlAs<CFolderEdit>(CSetupAutoSavePage::kIdPath)->browseButton()->isHidden());
  Click(page, CSetupAutoSavePage::kIdEnabled);  // on, with no interval
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_FALSE(sheet.ended());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], L"自动保存间隔(分钟)应为1到60之间的整数。");
  EXPECT_EQ(setup->autoSaveEnabled, 0);
  page.SetItemText(CSetupAutoSavePage::kIdInterval, L"5");
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(setup->autoSaveEnabled, 1);
  EXPECT_EQ(setup->autoSaveInterval, 300);
  EXPECT_EQ(setup->autoSaveGzip, 0);
  EXPECT_EQ(setup->autoSavePath, "");
}

TEST_F(SetupSheetTest, StyleChangesOnlyAtApplyOrOkAndCancelLeavesItAsItWas) {
  setup->styleIndex = 0;
  {
    CSetupPropSheet sheet(setup);
    auto* list = sheet.uiPage().ControlAs<QComboBox>(CSetupUIPage::kIdStyleList);
    ASSERT_EQ(list->count(), kVisualStyleCount);
    EXPECT_EQ(list->currentIndex(), 0);
    list->setCurrentIndex(11);
    EXPECT_EQ(CurrentVisualManager(), ManagerOf(0));  // no preview
    Click(sheet, CPlatformDialog::kIdCancel);
  }
  EXPECT_EQ(setup->styleIndex, 0);
  EXPECT_EQ(CurrentVisualManager(), ManagerOf(0));
  {
    CSetupPropSheet sheet(setup);
    auto* list = sheet.uiPage().ControlAs<QComboBox>(CSetupUIPage::kIdStyleList);
    list->setCurrentIndex(2);
    Click(sheet, CVtPropertySheet::kIdApply);
    EXPECT_EQ(setup->styleIndex, 2);
    EXPECT_EQ(CurrentVisualManager(), (VisualManagerChoice{VisualManager::Office2007, 3}));
    list->setCurrentIndex(11);
    Click(sheet, CPlatformDialog::kIdOk);
  }
  EXPECT_EQ(setup->styleIndex, 11);
  EXPECT_EQ(CurrentVisualManager(), ManagerOf(11));
}

TEST_F(SetupSheetTest, NoStyleSelectedStoresMinusOneWithTheFirstLook) {
  setup->styleIndex = 13;  // outside the list: nothing selected
  CSetupPropSheet sheet(setup);
  auto* list = sheet.uiPage().ControlAs<QComboBox>(CSetupUIPage::kIdStyleList);
  EXPECT_EQ(list->currentIndex(), -1);
  ApplyVisualStyle(11);
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_EQ(setup->styleIndex, -1);
  EXPECT_EQ(CurrentVisualManager(), ManagerOf(0));
}

TEST_F(SetupSheetTest, EnterAndEscapeInAPageActOnTheSheet) {
  CSetupPropSheet sheet(setup);
  sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"8");
  sheet.runPage().SendCommand(CPlatformDialog::kIdCancel);
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(sheet.result(), CPlatformDialog::kIdCancel);
  EXPECT_EQ(setup->maxDepth, 5);
}

TEST_F(SetupSheetTest, EveryApplyOrOkNotRefusedHandsTheAppliedSettingsToTheOwnerAndNothingElseDoes) {
  TempDir dir;
  auto db = std::make_shared<CLevelDb>();
  ASSERT_TRUE(db->Open((dir.path() / "setup").string()).ok());
  SaveSettings(setup.get(), db.get());
  std::map<std::string, std::string> before;
  db->ReadAll(before);
  MessageBoxRecorder boxes;
  std::vector<int32_t> depthsHanded;
  std::vector<QWidget*> sheetsHanded;
  auto handler = [&](QWidget* sheet) {
    depthsHanded.push_back(setup->maxDepth);
    sheetsHanded.push_back(sheet);
  };
  {
    CSetupPropSheet sheet(setup, nullptr, handler);
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"33");
    AddDialogAnswer answer({L"new"});
    Click(sheet.runPage(), CSetupRunPage::kIdAdd);
    Click(sheet, CVtPropertySheet::kIdApply);
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"1000");
    Click(sheet, CVtPropertySheet::kIdApply);  // refused
    Click(sheet, CPlatformDialog::kIdOk);      // refused
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"34");
    Click(sheet, CPlatformDialog::kIdOk);
    EXPECT_EQ(sheetsHanded, (std::vector<QWidget*>{&sheet, &sheet}));
  }
  EXPECT_EQ(depthsHanded, (std::vector<int32_t>{33, 34}));
  EXPECT_EQ(boxes.shown.size(), 2u);
  {
    CSetupPropSheet sheet(setup, nullptr, handler);
    sheet.runPage().SetItemText(CSetupRunPage::kIdDepth, L"35");
    Click(sheet, CPlatformDialog::kIdCancel);
  }
  EXPECT_EQ(depthsHanded.size(), 2u);
  EXPECT_EQ(setup->maxDepth, 34);
  // The sheet itself writes nothing: storing is the owner's.
  std::map<std::string, std::string> after;
  db->ReadAll(after);
  EXPECT_EQ(after, before);
}
