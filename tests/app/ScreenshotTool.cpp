// Pictures of the main window for the documentation: crawls a small site served on
// 127.0.0.1, then saves every tab and the two pattern help dialogs in two looks; then, in
// each look, the crawl page during a slow crawl, after Stop, and after a site that cannot be
// reached (with its message).
//   app_screenshots DIR
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <cstdio>

#include "AppTestSupport.h"
#include "app/CDlgPatternHelp.h"
#include "app/platform/CTabWindow.h"
#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "app/platform/QtTranslations.h"
#include "app/platform/VisualStyle.h"
#include "settings/CSetupManager.h"
#include "support/AuditSite.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallQtChineseTranslations(app);
  if (argc != 2) {
    std::fprintf(stderr, "usage: app_screenshots DIR\n");
    return 2;
  }
  QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
  out.mkpath(QStringLiteral("."));
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  LoopbackServer server;
  ServeSite(server, 40);
  if (!server.Start()) return 1;

  CSitemapDlg window;
  window.show();
  CDlgSubAction* page = window.actionPage();
  SetEditText(page->Control(CDlgSubAction::kIdAddress), QString::fromStdString(server.origin() + "/").toStdWString());
  SetEditText(page->Control(CDlgSubAction::kIdExclude), L"*.pdf");
  page->StartAction();
  QElapsedTimer t;
  t.start();
  while (page->isCrawling() && t.elapsed() < 30000) QTest::qWait(10);
  window.RefreshStatus();
  struct Look { int index; const char* name; };
  const char* tabs[] = {"crawl", "failures", "sitemap", "urllist"};
  for (Look look : {Look{0, "office2007blue"}, Look{11, "carbon"}}) {
    ApplyVisualStyle(look.index);
    for (int i = 0; i < 4; ++i) {
      window.tabs()->setCurrentIndex(i);
      QTest::qWait(20);
      QString name = QStringLiteral("%1-%2.png").arg(QString::fromLatin1(look.name), QString::fromLatin1(tabs[i]));
      window.grab().save(out.filePath(name));
    }
    // The pages follow the window: a large one, and the smallest it can be.
    for (const auto& [size, sizeName] : {std::pair{QSize(1400, 1000), "1400x1000"}, std::pair{window.minimumSize(), "minimum"}}) {
      window.resize(size);
      for (int i : {0, 2}) {
        window.tabs()->setCurrentIndex(i);
        QTest::qWait(20);
        window.grab().save(out.filePath(QStringLiteral("%1-%2-%3.png")
                                            .arg(QString::fromLatin1(look.name), QString::fromLatin1(tabs[i]),
                                                 QString::fromLatin1(sizeName))));
      }
    }
    window.resize(window.minimumSize());
    window.tabs()->setCurrentIndex(0);
    const std::pair<CDlgPatternHelp::Topic, const char*> topics[] = {{CDlgPatternHelp::Topic::Include, "include"},
                                                                      {CDlgPatternHelp::Topic::Exclude, "exclude"}};
    for (const auto& [topic, topicName] : topics) {
      CDlgPatternHelp help(topic, &window);
      help.show();
      QTest::qWait(20);
      help.grab().save(out.filePath(
          QStringLiteral("%1-patternhelp-%2.png").arg(QString::fromLatin1(look.name), QString::fromLatin1(topicName))));
    }
  }

  LoopbackServer slow;
  ServeSite(slow, 40, 2500);
  if (!slow.Start()) return 1;
  std::string gone;
  {
    LoopbackServer closed;
    if (!closed.Start()) return 1;
    gone = closed.origin() + "/";
  }
  std::wstring message;
  SetMessageBoxHook([&message](const std::wstring& text) { message = text; });
  SetQuestionHook([](const std::wstring&) { return false; });  // each look starts the slow crawl afresh
  window.tabs()->setCurrentIndex(0);
  window.setup().threadCount = 4;
  SetEditText(page->Control(CDlgSubAction::kIdExclude), L"");
  auto waitIdle = [page] {
    QElapsedTimer idle;
    idle.start();
    while (page->isCrawling() && idle.elapsed() < 30000) QTest::qWait(10);
  };
  for (Look look : {Look{0, "office2007blue"}, Look{11, "carbon"}}) {
    ApplyVisualStyle(look.index);
    auto shot = [&](const char* what) {
      window.RefreshStatus();
      QTest::qWait(20);
      window.grab().save(out.filePath(QStringLiteral("%1-crawl-%2.png").arg(QString::fromLatin1(look.name), QString::fromLatin1(what))));
    };
    SetEditText(page->Control(CDlgSubAction::kIdAddress), QString::fromStdString(slow.origin() + "/").toStdWString());
    page->StartAction();
    QTest::qWait(1500);
    shot("slow");
    page->StopAction();
    waitIdle();
    shot("stopped");
    SetEditText(page->Control(CDlgSubAction::kIdAddress), QString::fromStdString(gone).toStdWString());
    page->StartAction();
    waitIdle();
    shot("unreachable");
    QMessageBox box(QMessageBox::NoIcon, window.windowTitle(), QString::fromStdWString(message), QMessageBox::Ok, &window);
    box.show();
    QTest::qWait(20);
    box.grab().save(out.filePath(QStringLiteral("%1-crawl-unreachable-message.png").arg(QString::fromLatin1(look.name))));
  }

  // The audit tab after a crawl of a site whose own sitemap is wrong in every way.
  AuditSite audited;
  if (!audited.Start()) return 1;
  window.setup().auditSitemap = 1;
  window.setup().obeyRobots = 1;
  SetEditText(page->Control(CDlgSubAction::kIdAddress), QString::fromStdString(audited.origin() + "/").toStdWString());
  page->StartAction();
  waitIdle();
  window.RefreshStatus();
  window.tabs()->setCurrentIndex(4);
  for (Look look : {Look{0, "office2007blue"}, Look{11, "carbon"}}) {
    ApplyVisualStyle(look.index);
    QTest::qWait(20);
    window.grab().save(out.filePath(QStringLiteral("%1-audit.png").arg(QString::fromLatin1(look.name))));
  }
  return 0;
}
