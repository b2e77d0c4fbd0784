#pragma once
// Edit-box operations on the two edit kinds of a template (QLineEdit for single-line boxes,
// QPlainTextEdit for multi-line boxes), with the text conventions of the program's windows:
// the text of a multi-line box uses CR LF between lines, as the system's edit boxes do.
//
//   EditText(box)             whole text (wide)
//   SetEditText(box, text)    replace the whole text (CR LF or LF line breaks)
//   AppendAtEnd(box, text)    caret to the end, insert there; not undoable by the user
//   ClearEdit(box)            select all, scroll to the caret, clear
//   SetTextLimitMax(box)      lift the text limit to the maximum
//   SetDigitsOnly(box)        only the digits 0-9 can be typed
//   SetDigitsUpTo(box, high)  only digits, and no number above high (a smaller one, or
//                             nothing, can still be typed: the caller checks the lower end)
#include <QString>
#include <string>

class QWidget;

std::wstring EditText(const QWidget* box);
QString EditQText(const QWidget* box);
void SetEditText(QWidget* box, const std::wstring& text);
void SetEditQText(QWidget* box, const QString& text);
void AppendAtEnd(QWidget* box, const QString& text);
void ClearEdit(QWidget* box);
void SetTextLimitMax(QWidget* box);
void SetDigitsOnly(QWidget* box);
void SetDigitsUpTo(QWidget* box, int high);
void SetEditReadOnly(QWidget* box, bool readOnly);
