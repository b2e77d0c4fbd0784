#include "app/platform/ShellOps.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
std::function<void(const QString&)>& OpenHook() {
  static std::function<void(const QString&)> hook;
  return hook;
}
bool waitShown = false;
}  // namespace

void SetOpenAddressHook(std::function<void(const QString&)> hook) { OpenHook() = std::move(hook); }

bool OpenAddress(const QString& address) {
  if (OpenHook()) {
    OpenHook()(address);
    return true;
  }
  QUrl url = QFileInfo(address).isAbsolute() ? QUrl::fromLocalFile(address) : QUrl(address);
  return QDesktopServices::openUrl(url);
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
