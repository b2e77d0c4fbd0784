#include "app/platform/DialogTemplate.h"

#include <QFontMetrics>

namespace {
// MulDiv-style rounding, as the system does for dialog-unit conversion.
int Scale(int value, int numerator, int denominator) {
  long long p = static_cast<long long>(value) * numerator;
  long long half = denominator / 2;
  return static_cast<int>(p >= 0 ? (p + half) / denominator : (p - half) / denominator);
}
}  // namespace

const char* DialogFontFamily() { return "WenQuanYi Micro Hei"; }

QFont DialogFont(int pointSize) {
  QFont font(QString::fromLatin1(DialogFontFamily()));
  font.setPointSize(pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QSize DialogBaseUnits(const QFont& font) {
  QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int total = metrics.horizontalAdvance(letters);
  int average = (total / 26 + 1) / 2;  // the system's rounding of total / 52
  if (average < 1) average = 1;
  int height = metrics.height();
  if (height < 1) height = 1;
  return QSize(average, height);
}

QRect DialogUnitsToPixels(const QRect& units, const QSize& base) {
  int x = Scale(units.x(), base.width(), 4);
  int y = Scale(units.y(), base.height(), 8);
  int w = Scale(units.width(), base.width(), 4);
  int h = Scale(units.height(), base.height(), 8);
  return QRect(x, y, w, h);
}

QSize DialogUnitsToPixels(const QSize& units, const QSize& base) {
  return QSize(Scale(units.width(), base.width(), 4), Scale(units.height(), base.height(), 8));
}
