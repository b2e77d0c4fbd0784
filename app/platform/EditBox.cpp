#include "app/platform/EditBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTextCursor>
#include <climits>

namespace {

// Digits whose number is at most high. Unlike QIntValidator it lets no number above high be
// typed (QIntValidator takes 21 to 99 as unfinished input for a top of 20).
class DigitsUpToValidator : public QValidator {
 public:
  DigitsUpToValidator(int high, QObject* parent) : QValidator(parent), high_(high) {}
  State validate(QString& input, int&) const override {
    long long number = 0;
    for (QChar c : input) {
      if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
      number = number * 10 + (c.unicode() - '0');
      if (number > high_) return Invalid;
    }
    return input.isEmpty() ? Intermediate : Acceptable;
  }

 private:
  int high_;
};

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

void SetDigitsUpTo(QWidget* box, int high) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) line->setValidator(new DigitsUpToValidator(high, line));
}

void SetEditReadOnly(QWidget* box, bool readOnly) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) line->setReadOnly(readOnly);
  if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) multi->setReadOnly(readOnly);
}
