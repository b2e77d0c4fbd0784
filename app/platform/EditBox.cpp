#include "app/platform/EditBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTextCursor>
#include <climits>

namespace {
QString ToBoxLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}
}  // namespace

QString EditQText(const QWidget* box) {
  if (auto* line = qobject_cast<const QLineEdit*>(box)) return line->text();
  if (auto* multi = qobject_cast<const QPlainTextEdit*>(box)) {
    QString text = multi->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
  }
  return QString();
}

std::wstring EditText(const QWidget* box) { return EditQText(box).toStdWString(); }

void SetEditQText(QWidget* box, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    line->setText(text);
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) {
    multi->setPlainText(ToBoxLines(text));
  }
}

void SetEditText(QWidget* box, const std::wstring& text) { SetEditQText(box, QString::fromStdWString(text)); }

void AppendAtEnd(QWidget* box, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    line->setText(line->text() + text);
    return;
  }
  auto* multi = qobject_cast<QPlainTextEdit*>(box);
  if (!multi) return;
  // The user cannot undo an insertion made by the program.
  multi->setUndoRedoEnabled(false);
  QTextCursor cursor(multi->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(ToBoxLines(text));
}

void ClearEdit(QWidget* box) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    line->clear();
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) {
    multi->setUndoRedoEnabled(false);
    multi->clear();
  }
}

void SetTextLimitMax(QWidget* box) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) line->setMaxLength(INT_MAX);
  // A QPlainTextEdit has no limit of its own.
}

void SetDigitsOnly(QWidget* box) {
  if (auto* line = qobject_cast<QLineEdit*>(box))
    line->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), line));
}

void SetEditReadOnly(QWidget* box, bool readOnly) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) line->setReadOnly(readOnly);
  if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) multi->setReadOnly(readOnly);
}
