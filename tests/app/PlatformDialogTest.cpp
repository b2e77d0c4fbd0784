#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <thread>
#include <vector>

#include "app/platform/CLinkButton.h"
#include "app/platform/CPlatformDialog.h"
#include "app/platform/CReportList.h"
#include "app/platform/CTabWindow.h"
#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "app/platform/VisualStyle.h"
#include "support/TempDir.h"

namespace {

DialogTemplate SampleTemplate() {
  return DialogTemplate{L"sample", 200, 120,
                        {
                            {ControlKind::Static, -1, L"网址", {4, 4, 30, 10}},
                            {ControlKind::Edit, 1002, L"", {40, 4, 100, 12}},
                            {ControlKind::MultiLineEdit, 1004, L"", {4, 20, 90, 40}},
                            {ControlKind::PushButton, 1003, L"开始", {150, 4, 40, 14}},
                            {ControlKind::CheckBox, 1016, L"GZIP压缩", {100, 20, 60, 10}},
                            {ControlKind::ReportList, 1012, L"", {4, 64, 190, 50}},
                        }};
}

class ProbeDialog : public CPlatformDialog {
 public:
  explicit ProbeDialog(Style style = Style::Modal) : CPlatformDialog(SampleTemplate(), style) {}
  ~ProbeDialog() override { UnregisterAsWindow(); }
  std::vector<int> commands, timers;
  std::vector<PostedMessage> messages;
  int oks = 0, cancels = 0;

 protected:
  void OnOK() override { ++oks; }
  void OnCancel() override { ++cancels; }
  void OnCommand(int id) override { commands.push_back(id); }
  void OnTimer(int id) override { timers.push_back(id); }
  void OnMessage(const PostedMessage& msg) override { messages.push_back(msg); }
};

}  // namespace

TEST(PlatformDialog, DialogUnitsScaleByAverageLetterWidthAndFontHeight) {
  QSize base(7, 16);
  EXPECT_EQ(DialogUnitsToPixels(QRect(4, 8, 40, 16), base), QRect(7, 16, 70, 32));
  // Rounded like the system's MulDiv: 1 * 7 / 4 = 1.75 -> 2, 3 * 16 / 8 = 6.
  EXPECT_EQ(DialogUnitsToPixels(QRect(1, 3, 2, 1), base), QRect(2, 6, 4, 2));
  QSize units = DialogBaseUnits(DialogFont(9));
  EXPECT_GT(units.width(), 2);
  EXPECT_GT(units.height(), 8);
}

TEST(PlatformDialog, ControlsAreFoundByIdAtTheirTemplateRectangles) {
  ProbeDialog dlg;
  ASSERT_NE(dlg.ControlAs<QLineEdit>(1002), nullptr);
  ASSERT_NE(dlg.ControlAs<QPlainTextEdit>(1004), nullptr);
  ASSERT_NE(dlg.ReportListAt(1012), nullptr);
  EXPECT_EQ(dlg.Control(9999), nullptr);
  EXPECT_EQ(dlg.Control(1003)->objectName(), QStringLiteral("id1003"));
  EXPECT_EQ(dlg.Control(1003)->geometry(), dlg.MapDialogRect(QRect(150, 4, 40, 14)));
  EXPECT_EQ(dlg.GetItemText(1003), L"开始");
}

TEST(PlatformDialog, ButtonClicksBecomeCommandsAndKeysBecomeOkAndCancel) {
  ProbeDialog dlg;
  dlg.show();
  dlg.ControlAs<QPushButton>(1003)->click();
  dlg.ControlAs<QCheckBox>(1016)->click();
  EXPECT_EQ(dlg.commands, (std::vector<int>{1003, 1016}));
  EXPECT_TRUE(dlg.IsItemChecked(1016));

  dlg.Control(1002)->setFocus();
  QTest::keyClick(dlg.Control(1002), Qt::Key_Return);
  EXPECT_EQ(dlg.oks, 1);
  // A multi-line box keeps Enter as a line break.
  QTest::keyClick(dlg.Control(1004), Qt::Key_Return);
  EXPECT_EQ(dlg.oks, 1);
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_EQ(dlg.cancels, 1);
  // The window manager's close request is Cancel too and leaves the dialog up.
  dlg.close();
  EXPECT_EQ(dlg.cancels, 2);
  EXPECT_TRUE(dlg.isVisible());
}

TEST(PlatformDialog, PostedMessagesArriveOnTheWindowThreadInPostedOrder) {
  ProbeDialog dlg;
  WindowHandle h = dlg.RegisterAsWindow();
  ASSERT_NE(h, kNoWindow);
  std::thread poster([h] {
    for (uint32_t i = 0; i < 50; ++i) PostWindowMessage(h, WM_USER + i, i, -static_cast<intptr_t>(i));
  });
  poster.join();
  EXPECT_TRUE(dlg.messages.empty());  // nothing runs on the posting thread
  QCoreApplication::processEvents();
  ASSERT_EQ(dlg.messages.size(), 50u);
  for (uint32_t i = 0; i < 50; ++i) {
    EXPECT_EQ(dlg.messages[i].message, WM_USER + i);
    EXPECT_EQ(dlg.messages[i].lParam, -static_cast<intptr_t>(i));
  }
  dlg.UnregisterAsWindow();
  EXPECT_FALSE(PostWindowMessage(h, WM_USER, 0, 0));
}

TEST(PlatformDialog, TimersFireByIdUntilKilledAndRefuseAZeroPeriod) {
  ProbeDialog dlg;
  EXPECT_TRUE(dlg.SetTimer(10, 5));
  EXPECT_FALSE(dlg.SetTimer(20, 0));
  EXPECT_FALSE(dlg.HasTimer(20));
  QElapsedTimer t;
  t.start();
  while (dlg.timers.size() < 2 && t.elapsed() < 5000) QTest::qWait(5);
  ASSERT_GE(dlg.timers.size(), 2u);
  EXPECT_EQ(dlg.timers[0], 10);
  dlg.KillTimer(10);
  size_t seen = dlg.timers.size();
  QTest::qWait(30);
  EXPECT_EQ(dlg.timers.size(), seen);
}

TEST(PlatformDialog, ModalRunEndsWithTheCodeGivenToEndDialog) {
  CPlatformDialog dlg(SampleTemplate(), CPlatformDialog::Style::Modal);
  QTimer::singleShot(0, &dlg, [&dlg] { dlg.EndDialog(CPlatformDialog::kIdOk); });
  EXPECT_EQ(dlg.DoModal(), CPlatformDialog::kIdOk);
  QTimer::singleShot(0, &dlg, [&dlg] { QTest::keyClick(&dlg, Qt::Key_Escape); });
  EXPECT_EQ(dlg.DoModal(), CPlatformDialog::kIdCancel);
}

TEST(PlatformEdit, MultiLineTextUsesCrLfAndAppendsAtTheEnd) {
  ProbeDialog dlg;
  QWidget* box = dlg.Control(1004);
  SetEditText(box, L"a\r\nb");
  EXPECT_EQ(EditText(box), L"a\r\nb");
  AppendAtEnd(box, QStringLiteral("\r\nc\r\n"));
  EXPECT_EQ(EditText(box), L"a\r\nb\r\nc\r\n");
  ClearEdit(box);
  EXPECT_EQ(EditText(box), L"");
}

TEST(PlatformEdit, DigitsOnlyBoxRefusesOtherCharacters) {
  QLineEdit edit;
  SetDigitsOnly(&edit);
  QTest::keyClicks(&edit, QStringLiteral("1a2-3"));
  EXPECT_EQ(edit.text(), QStringLiteral("123"));
}

TEST(PlatformReportList, RowsAppendInBulkAndDeleteAll) {
  CReportList list;
  list.AddColumn(L"序号", 50);
  list.AddColumn(L"网址", 800);
  EXPECT_EQ(list.columnWidth(1), 800);
  EXPECT_EQ(list.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("序号"));
  std::vector<QStringList> rows;
  for (int i = 1; i <= 1000; ++i) rows.push_back({QString::number(i), QStringLiteral("/p%1").arg(i)});
  list.AppendRows(std::move(rows));
  list.AppendRow({L"1001", L"/last"});
  EXPECT_EQ(list.RowCount(), 1001);
  EXPECT_EQ(list.ItemText(1000, 1), L"/last");
  EXPECT_EQ(list.ItemText(5000, 1), L"");
  EXPECT_TRUE(list.showGrid());
  EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
  list.DeleteAllItems();
  EXPECT_EQ(list.RowCount(), 0);
}

TEST(PlatformMessageBox, HookRecordsTheTextInsteadOfBlocking) {
  std::vector<std::wstring> shown;
  SetMessageBoxHook([&shown](const std::wstring& text) { shown.push_back(text); });
  ShowMessageBox(nullptr, L"不是一个合法的网址");
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"不是一个合法的网址"}));
}

TEST(PlatformVisualStyle, ListIndexesMapToManagersAndOutOfRangeGivesOffice2007Blue) {
  EXPECT_EQ(ManagerOf(2), (VisualManagerChoice{VisualManager::Office2007, 3}));
  EXPECT_EQ(ManagerOf(3), (VisualManagerChoice{VisualManager::Office2007, 2}));
  EXPECT_EQ(ManagerOf(6), (VisualManagerChoice{VisualManager::Office2010, 2}));
  EXPECT_EQ(ManagerOf(7), (VisualManagerChoice{VisualManager::Office2010, 1}));
  EXPECT_EQ(ManagerOf(11), (VisualManagerChoice{VisualManager::Carbon, 0}));
  EXPECT_EQ(ManagerOf(13), (VisualManagerChoice{VisualManager::Office2007, 0}));
  EXPECT_EQ(ManagerOf(-1), (VisualManagerChoice{VisualManager::Office2007, 0}));
  EXPECT_EQ(std::wstring(VisualStyleName(2)), L"Office 2007 Silver");
  EXPECT_EQ(std::wstring(VisualStyleName(12)), L"Scenic");
  ApplyVisualStyle(11);
  EXPECT_TRUE(CurrentLook().dark);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), LookOfIndex(11).window);
  ApplyVisualStyle(-1);
  EXPECT_EQ(CurrentVisualManager(), (VisualManagerChoice{VisualManager::Office2007, 0}));
  EXPECT_FALSE(CurrentLook().dark);
}

// The fonts and line heights that a window's parts have; applying a look must leave them.
struct FontsSeen {
  QString tabFamily, listFamily, viewportFamily;
  qreal tabPoints = 0, listPoints = 0;
  int tabWidth = 0, rowHeight = 0;
  bool operator==(const FontsSeen& o) const {
    return tabFamily == o.tabFamily && listFamily == o.listFamily && viewportFamily == o.viewportFamily &&
           tabPoints == o.tabPoints && listPoints == o.listPoints && tabWidth == o.tabWidth && rowHeight == o.rowHeight;
  }
};

std::ostream& operator<<(std::ostream& out, const FontsSeen& f) {
  return out << "tab " << f.tabFamily.toStdString() << " " << f.tabPoints << "pt " << f.tabWidth << "px, list "
             << f.listFamily.toStdString() << " " << f.listPoints << "pt viewport " << f.viewportFamily.toStdString()
             << " row " << f.rowHeight << "px";
}

TEST(PlatformVisualStyle, ApplyingALookAgainLeavesTheFontsOfTabsAndListsAlone) {
  ApplyVisualStyle(0);  // as at start-up, before the windows are made
  CPlatformDialog dialog(DialogTemplate{L"fonts", 200, 120, {{ControlKind::ListBox, 1025, L"", {4, 4, 90, 100}}}},
                         CPlatformDialog::Style::Modal);
  auto* list = dialog.ControlAs<QListWidget>(1025);
  ASSERT_NE(list, nullptr);
  for (const char* type : {".exe", ".zip", ".pdf"}) list->addItem(QString::fromLatin1(type));
  auto* tabs = new CTabWindow(&dialog);
  tabs->setGeometry(100, 4, 180, 100);
  tabs->AddTab(new QWidget, QStringLiteral("Google"), 0);
  tabs->AddTab(new QWidget, QStringLiteral("Yahoo"), 0);
  dialog.show();
  QApplication::processEvents();
  auto seen = [&] {
    QApplication::processEvents();
    FontsSeen f;
    f.tabFamily = QFontInfo(tabs->tabBar()->font()).family();
    f.tabPoints = tabs->tabBar()->font().pointSizeF();
    f.tabWidth = QFontMetrics(tabs->tabBar()->font()).horizontalAdvance(QStringLiteral("Google"));
    f.listFamily = QFontInfo(list->font()).family();
    f.listPoints = list->font().pointSizeF();
    f.viewportFamily = QFontInfo(list->viewport()->font()).family();
    f.rowHeight = list->sizeHintForRow(0);
    return f;
  };
  const FontsSeen before = seen();
  EXPECT_EQ(before.tabFamily, QFontInfo(dialog.font()).family());
  EXPECT_EQ(before.viewportFamily, QFontInfo(dialog.font()).family());
  for (int look : {0, 11, 4, 0}) {
    ApplyVisualStyle(look);
    EXPECT_EQ(seen(), before) << "look " << look;
  }
}

// PATH holds only a folder with an xdg-open that ends with the given status (none: no
// xdg-open at all), for the life of the object.
class FakeOpener {
 public:
  explicit FakeOpener(int exitStatus = -1) : saved_(qgetenv("PATH")) {
    if (exitStatus >= 0) {
      const std::filesystem::path script = dir_.path() / "xdg-open";
      std::ofstream(script) << "#!/bin/sh\necho \"$1\" > '" << (dir_.path() / "asked").string() << "'\nexit "
                            << exitStatus << "\n";
      std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    qputenv("PATH", QByteArray::fromStdString(dir_.str()));
  }
  ~FakeOpener() { qputenv("PATH", saved_); }
  std::string asked() const { return ReadFileBytes(dir_.path() / "asked"); }

 private:
  TempDir dir_;
  QByteArray saved_;
};

TEST(PlatformLinkButton, AnAddressNothingCouldOpenIsShownInAMessageBoxAndAnOpenedOneIsNot) {
  std::vector<std::wstring> shown;
  SetMessageBoxHook([&shown](const std::wstring& text) { shown.push_back(text); });
  CLinkButton link(QStringLiteral("帮助"));
  const QString guide = QStringLiteral("/opt/veltro/bin/user-guide.html");
  link.SetLinkAddress(guide);
  auto waitForBox = [&shown] {
    QElapsedTimer t;
    t.start();
    while (shown.empty() && t.elapsed() < 10000) QTest::qWait(10);
  };
  struct Case {
    int opener;  // xdg-open's exit status; -1: no xdg-open, and no other way to open
    bool failed;
  };
  for (Case c : {Case{4, true}, Case{-1, true}, Case{0, false}}) {
    shown.clear();
    FakeOpener opener(c.opener);
    link.click();
    if (c.failed) {
      waitForBox();
      ASSERT_EQ(shown.size(), 1u) << "opener " << c.opener;
      EXPECT_NE(shown[0].find(guide.toStdWString()), std::wstring::npos) << "opener " << c.opener;
    } else {
      QElapsedTimer t;
      t.start();
      while (opener.asked().empty() && t.elapsed() < 10000) QTest::qWait(10);
      QTest::qWait(200);  // the launcher's end has been seen
      EXPECT_TRUE(shown.empty());
    }
    if (c.opener >= 0) EXPECT_EQ(opener.asked(), "file://" + guide.toStdString() + "\n");
  }
  SetMessageBoxHook(nullptr);
}
