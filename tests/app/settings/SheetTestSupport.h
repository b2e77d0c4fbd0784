#pragma once
// Helpers of the settings sheet tests: clicks and texts through control ids, an add dialog
// answered without a modal run, and message boxes recorded instead of shown.
#include <QAbstractButton>
#include <QListWidget>
#include <QStringList>
#include <string>
#include <vector>

#include "app/platform/CPlatformDialog.h"
#include "app/platform/MessageBox.h"
#include "app/settings/CDlgRunAddExt.h"

inline void Click(CPlatformDialog& dialog, int id) {
  if (auto* button = dialog.ControlAs<QAbstractButton>(id)) button->click();
}

inline QStringList ListTexts(const QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

// While alive, every add dialog is filled with the four texts (edits left to right) and
// closed with OK, or with Cancel when cancel is true. Counts the dialogs opened.
class AddDialogAnswer {
 public:
  explicit AddDialogAnswer(std::vector<std::wstring> texts, bool cancel = false) {
    CDlgRunAddExt::SetRunHook([this, texts, cancel](CDlgRunAddExt& dialog) {
      ++opened;
      for (size_t i = 0; i < texts.size() && i < 4; ++i) dialog.SetItemText(CDlgRunAddExt::kEditIds[i], texts[i]);
      dialog.SendCommand(cancel ? CPlatformDialog::kIdCancel : CPlatformDialog::kIdOk);
      return dialog.result();
    });
  }
  ~AddDialogAnswer() { CDlgRunAddExt::SetRunHook(nullptr); }
  int opened = 0;
};

// While alive, message boxes are recorded (their texts, in order) instead of shown.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    SetMessageBoxHook([this](const std::wstring& text) { shown.push_back(text); });
  }
  ~MessageBoxRecorder() { SetMessageBoxHook(nullptr); }
  std::vector<std::wstring> shown;
};
