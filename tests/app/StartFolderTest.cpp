// The window's --data-dir: the menu's start makes and enters the data folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/StartFolder.h"
#include "support/TempDir.h"

namespace {
QString Canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

struct EnvironmentValue {
  EnvironmentValue(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
    qputenv(name, value);
  }
  ~EnvironmentValue() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
  const char* name_;
  QByteArray old_;
  bool had_;
};
}  // namespace

TEST(StartFolder, DataDirMakesTheMissingFolderAndWorksInItElseTheCurrentFolderStays) {
  TempDir dir;
  ScopedWorkingDir back(dir.path());
  const QString here = QDir::currentPath();
  const QString root = QString::fromStdString(dir.str());

  EXPECT_FALSE(PrepareWindowStart({QStringLiteral("veltro-sitemap"), QStringLiteral("/restart")}).exitNow);
  EXPECT_EQ(QDir::currentPath(), here) << "started from a shell it stays where it is";

  const QString chosen = root + QStringLiteral("/a/b/c");
  EXPECT_FALSE(PrepareWindowStart({QStringLiteral("veltro-sitemap"), QStringLiteral("--data-dir=") + chosen}).exitNow);
  EXPECT_EQ(QDir::currentPath(), Canonical(chosen));

  EnvironmentValue xdg("XDG_DATA_HOME", (root + QStringLiteral("/xdg")).toUtf8());
  EXPECT_EQ(DefaultDataFolder(), root + QStringLiteral("/xdg/veltro-sitemap"));
  EXPECT_FALSE(PrepareWindowStart({QStringLiteral("veltro-sitemap"), QStringLiteral("--data-dir")}).exitNow);
  EXPECT_EQ(QDir::currentPath(), Canonical(root + QStringLiteral("/xdg/veltro-sitemap")));
}

TEST(StartFolder, FolderThatCannotBeMadeEndsTheStartWithItsName) {
  TempDir dir;
  ScopedWorkingDir back(dir.path());
  const QString here = QDir::currentPath();
  const QString blocker = QString::fromStdString(dir.str()) + QStringLiteral("/file");
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  WindowStart start = PrepareWindowStart({QStringLiteral("veltro-sitemap"), QStringLiteral("--data-dir=") + blocker + QStringLiteral("/sub")});
  EXPECT_TRUE(start.exitNow);
  EXPECT_EQ(start.exitCode, 1);
  EXPECT_TRUE(start.text.contains(blocker + QStringLiteral("/sub"))) << start.text.toStdString();
  EXPECT_EQ(QDir::currentPath(), here);

  start = PrepareWindowStart({QStringLiteral("veltro-sitemap"), QStringLiteral("--data-dir=")});
  EXPECT_TRUE(start.exitNow) << "an empty folder name is refused, not taken as the current one";
  EXPECT_EQ(start.exitCode, 1);
}
