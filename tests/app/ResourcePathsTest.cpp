// The user guide is found beside the program (build tree) and in share/ (installed).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/ResourcePaths.h"
#include "support/TempDir.h"

namespace {
void Touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}
}  // namespace

TEST(ResourcePaths, FileBesideTheProgramComesFirstThenShareThenItsNameBesideIt) {
  TempDir prefix;
  const QString root = QString::fromStdString(prefix.str());
  const QString bin = root + QStringLiteral("/bin");
  QDir().mkpath(bin);
  const QString beside = bin + QStringLiteral("/user-guide.html");
  const QString installed = root + QStringLiteral("/share/veltro-sitemap/user-guide.html");

  EXPECT_EQ(ResourceFilePathFrom(bin, QStringLiteral("user-guide.html")), beside) << "nowhere: named beside";
  Touch(installed);
  EXPECT_EQ(ResourceFilePathFrom(bin, QStringLiteral("user-guide.html")), installed);
  Touch(beside);
  EXPECT_EQ(ResourceFilePathFrom(bin, QStringLiteral("user-guide.html")), beside);
}
