#include "app/platform/ShellOps.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
std::function<void(const QString&)>& OpenHook() {
  static std::function<void(const QString&)> hook;
  return hook;
}
bool waitShown = false;
}  // namespace

void SetOpenAddressHook(std::function<void(const QString&)> hook) { OpenHook() = std::move(hook); }

bool OpenAddress(const QString& address, std::function<void()> whenFailed) {
  if (OpenHook()) {
    OpenHook()(address);
    return true;
  }
  QUrl url = QFileInfo(address).isAbsolute() ? QUrl::fromLocalFile(address) : QUrl(address);
  const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (launcher.isEmpty()) {
    if (QDesktopServices::openUrl(url)) return true;
    if (whenFailed) whenFailed();
    return false;
  }
  // Qt would start xdg-open and call that success; its exit status says whether anything
  // opened the address. Its messages still go to this program's stderr.
  auto* process = new QProcess;
  process->setProgram(launcher);
  process->setArguments({url.toString(QUrl::FullyEncoded)});
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::finished, process,
                   [process, whenFailed](int code, QProcess::ExitStatus status) {
                     if ((status != QProcess::NormalExit || code != 0) && whenFailed) whenFailed();
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, whenFailed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    if (whenFailed) whenFailed();
    process->deleteLater();
  });
  process->start();
  return true;
}

void ShowWaitCursor() {
  if (waitShown) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  waitShown = true;
}

void RestoreCursor() {
  if (!waitShown) return;
  QApplication::restoreOverrideCursor();
  waitShown = false;
}

bool IsWaitCursorShown() {
  const QCursor* c = QApplication::overrideCursor();
  return waitShown && c && c->shape() == Qt::WaitCursor;
}
