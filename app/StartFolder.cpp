#include "app/StartFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

#include "app/platform/MessageBox.h"

namespace {
const QString kDataDirOption = QStringLiteral("--data-dir");

QString UsageText() {
  return QStringLiteral(
      "Usage: veltro-sitemap [--data-dir[=DIR]]\n"
      "Opens the Veltro Sitemap window. Its settings are kept in db/sitemap/setup below the\n"
      "working folder, which is the current one unless --data-dir is given.\n"
      "\n"
      "      --data-dir[=DIR]  work in DIR (default: ~/.local/share/veltro-sitemap), made when missing\n"
      "  -h, --help            this text\n"
      "      --version         the program's version\n");
}

WindowStart Ending(int code, const QString& text) { return WindowStart{true, code, text}; }
}  // namespace

QString DefaultDataFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QStringLiteral("veltro-sitemap"));
}

QString EnterDataFolder(const QString& dir) {
  if (dir.isEmpty()) return QStringLiteral("no folder given to --data-dir");
  if (!QDir().mkpath(dir)) return QStringLiteral("cannot make the folder \"%1\"").arg(dir);
  if (!QDir::setCurrent(dir)) return QStringLiteral("cannot work in the folder \"%1\"").arg(dir);
  return QString();
}

WindowStart PrepareWindowStart(const QStringList& arguments) {
  // Anything else on the line (a restart request, say) is left to the program as before.
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) return Ending(0, UsageText());
    if (arg == QStringLiteral("--version")) {
      return Ending(0, QStringLiteral("veltro-sitemap " VELTRO_VERSION "\n"));
    }
    QString dir;
    if (arg == kDataDirOption) {
      dir = DefaultDataFolder();
    } else if (arg.startsWith(kDataDirOption + QLatin1Char('='))) {
      dir = arg.mid(kDataDirOption.size() + 1);
    } else {
      continue;
    }
    QString problem = EnterDataFolder(dir);
    if (!problem.isEmpty()) return Ending(1, QStringLiteral("veltro-sitemap: %1\n").arg(problem));
  }
  return WindowStart{};
}

int FinishWindowStart(const WindowStart& start) {
  const QByteArray text = start.text.toUtf8();
  if (start.exitCode == 0) {
    std::fputs(text.constData(), stdout);
  } else {
    std::fputs(text.constData(), stderr);
    // Started from the menu there is no terminal to read stderr.
    ShowMessageBox(nullptr, start.text.trimmed().toStdWString());
  }
  return start.exitCode;
}
