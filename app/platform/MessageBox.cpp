#include "app/platform/MessageBox.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {
std::function<void(const std::wstring&)>& BoxHook() {
  static std::function<void(const std::wstring&)> hook;
  return hook;
}
std::function<bool(const std::wstring&)>& QuestionHook() {
  static std::function<bool(const std::wstring&)> hook;
  return hook;
}
std::function<std::optional<QString>()>& SaveHook() {
  static std::function<std::optional<QString>()> hook;
  return hook;
}
}  // namespace

void SetMessageBoxHook(std::function<void(const std::wstring&)> hook) { BoxHook() = std::move(hook); }
void SetSaveFileHook(std::function<std::optional<QString>()> hook) { SaveHook() = std::move(hook); }

void ShowMessageBox(QWidget* parent, const std::wstring& text) {
  if (BoxHook()) {
    BoxHook()(text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), QString::fromStdWString(text),
                  QMessageBox::Ok, parent);
  box.exec();
}

void SetQuestionHook(std::function<bool(const std::wstring&)> hook) { QuestionHook() = std::move(hook); }

bool AskYesNo(QWidget* parent, const std::wstring& text) {
  if (QuestionHook()) return QuestionHook()(text);
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromStdWString(text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> AskSaveFileName(QWidget* parent, const QString& suggestedName) {
  if (SaveHook()) return SaveHook()();
  QFileDialog dialog(parent, QStringLiteral("保存网址列表"));
  // Qt's own dialog, so its labels can be given in the program's language.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setNameFilter(QStringLiteral("文本文件 (*.txt)"));
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("保存位置："));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("保存类型："));
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
  dialog.selectFile(suggestedName.isEmpty() ? QStringLiteral("*.txt") : suggestedName);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return files.front();
}
