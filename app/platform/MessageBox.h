#pragma once
// Message boxes with an OK button, yes/no questions and the save-file question. Under test, hooks take the
// place of the blocking dialogs: the message text is recorded, the file name answered.
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

void ShowMessageBox(QWidget* parent, const std::wstring& text);
void SetMessageBoxHook(std::function<void(const std::wstring& text)> hook);
// A question with Yes and No buttons, No the default; true for Yes.
bool AskYesNo(QWidget* parent, const std::wstring& text);
void SetQuestionHook(std::function<bool(const std::wstring& text)> hook);

// The save-file dialog of the URL list, in Chinese: default suffix "txt", the suggested name
// (or "*.txt"), one filter for text files, confirmation before overwriting. The chosen path,
// or nullopt on cancel.
std::optional<QString> AskSaveFileName(QWidget* parent, const QString& suggestedName = QString());
void SetSaveFileHook(std::function<std::optional<QString>()> hook);
