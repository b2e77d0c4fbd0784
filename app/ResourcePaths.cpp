#include "app/ResourcePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ResourceFilePathFrom(const QString& programDir, const QString& name) {
  const QDir dir(programDir);
  const QString beside = dir.filePath(name);
  if (QFileInfo::exists(beside)) return beside;
  const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../share/veltro-sitemap/") + name));
  if (QFileInfo::exists(installed)) return installed;
  return beside;
}

QString ResourceFilePath(const QString& name) {
  return ResourceFilePathFrom(QCoreApplication::applicationDirPath(), name);
}
