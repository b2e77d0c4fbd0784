#include "app/platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallQtChineseTranslations(QCoreApplication& app) {
  // The window is Chinese whatever the system's language, so Qt's parts are too; dates and
  // numbers in Qt's dialogs follow.
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  QLocale::setDefault(chinese);
  auto* translator = new QTranslator(&app);  // lives as long as the application
  if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}
