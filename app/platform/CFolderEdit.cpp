#include "app/platform/CFolderEdit.h"

#include <QDir>
#include <QFileDialog>
#include <QStyle>
#include <QToolButton>

namespace {
std::function<QString(const QString&)>& BrowseHook() {
  static std::function<QString(const QString&)> hook;
  return hook;
}
}  // namespace

void CFolderEdit::SetBrowseHook(std::function<QString(const QString&)> hook) { BrowseHook() = std::move(hook); }

CFolderEdit::CFolderEdit(QWidget* parent) : QLineEdit(parent), button_(new QToolButton(this)) {
  button_->setText(QStringLiteral("..."));
  button_->setCursor(Qt::ArrowCursor);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setObjectName(QStringLiteral("browse"));
  connect(button_, &QToolButton::clicked, this, &CFolderEdit::Browse);
}

void CFolderEdit::Browse() {
  QString chosen;
  if (BrowseHook()) {
    chosen = BrowseHook()(text());
  } else {
    chosen = QFileDialog::getExistingDirectory(this, QString(), text().isEmpty() ? QDir::currentPath() : text());
  }
  if (chosen.isEmpty()) return;
  QString native = QDir::toNativeSeparators(chosen);
  // The auto-save prefix is used as plain text: a folder needs its own separator.
  if (!native.endsWith(QDir::separator())) native += QDir::separator();
  setText(native);
}

void CFolderEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  int side = height() - 2;
  button_->setGeometry(width() - side - 1, 1, side, side);
  setTextMargins(0, 0, side, 0);
}
