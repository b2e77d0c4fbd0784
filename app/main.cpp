// Veltro Sitemap: the desktop window.
#include <malloc.h>

#include <QApplication>
#include <QIcon>

#include "app/CsitemapApp.h"
#include "app/StartFolder.h"
#include "app/platform/QtTranslations.h"

int main(int argc, char** argv) {
  mallopt(M_ARENA_MAX, 2);  // glibc's arena per thread would hold memory for each worker
  // A large page's blocks are mapped on their own and given back when freed: glibc would raise
  // this threshold after the first large block freed, and later large pages would then come
  // from the heap, where what they leave behind stays resident.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  // --help and --version answer without a display; --data-dir enters its folder.
  const WindowStart start = PrepareWindowStart(QStringList(argv, argv + argc));
  if (start.exitNow && start.exitCode == 0) return FinishWindowStart(start);
  QApplication app(argc, argv);
  InstallQtChineseTranslations(app);
  QApplication::setApplicationName(QStringLiteral("Veltro Sitemap"));
  QApplication::setApplicationDisplayName(QStringLiteral("Veltro网站地图生成器"));
  QApplication::setApplicationVersion(QStringLiteral("0.9"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  QApplication::setDesktopFileName(QStringLiteral("veltro-sitemap"));  // the menu entry, for the dock
  if (start.exitNow) return FinishWindowStart(start);
  CsitemapApp theApp;
  return theApp.Run();
}
