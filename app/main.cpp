// Veltro Sitemap: the desktop window.
#include <malloc.h>

#include <QApplication>
#include <QIcon>

#include "app/CsitemapApp.h"

int main(int argc, char** argv) {
  mallopt(M_ARENA_MAX, 2);  // glibc's arena per thread would hold memory for each worker
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veltro Sitemap"));
  QApplication::setApplicationDisplayName(QStringLiteral("Veltro网站地图生成器"));
  QApplication::setApplicationVersion(QStringLiteral("0.9"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  CsitemapApp theApp;
  return theApp.Run();
}
