#include "app/platform/VisualStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>
#include <utility>
#include <vector>

namespace {

VisualManagerChoice current{VisualManager::Office2007, 0};
VisualLook currentLook = LookOf(current);

struct Entry {
  const wchar_t* name;
  VisualManagerChoice choice;
};

// The list order and the managers' style numbers differ for 2, 3, 6 and 7.
const Entry kEntries[kVisualStyleCount] = {
    {L"Office 2007 Blue", {VisualManager::Office2007, 0}},
    {L"Office 2007 Black", {VisualManager::Office2007, 1}},
    {L"Office 2007 Silver", {VisualManager::Office2007, 3}},
    {L"Office 2007 Aqua", {VisualManager::Office2007, 2}},
    {L"Visual Studio 2010", {VisualManager::VisualStudio2010, 0}},
    {L"Office 2010 Blue", {VisualManager::Office2010, 0}},
    {L"Office 2010 Black", {VisualManager::Office2010, 2}},
    {L"Office 2010 Silver", {VisualManager::Office2010, 1}},
    {L"Office 2003", {VisualManager::Office2003, 0}},
    {L"Visual Studio 2005", {VisualManager::VisualStudio2005, 0}},
    {L"Visual Studio 2008", {VisualManager::VisualStudio2008, 0}},
    {L"Carbon", {VisualManager::Carbon, 0}},
    {L"Scenic", {VisualManager::Scenic, 0}},
};

VisualLook Make(const char* window, const char* windowText, const char* base, const char* text, const char* button,
                const char* buttonLight, const char* buttonText, const char* border, const char* highlight,
                const char* highlightText, const char* accent, const char* tab, const char* tabSelected,
                const char* tabText, const char* title, bool dark = false) {
  VisualLook l;
  l.window = QColor(window);
  l.windowText = QColor(windowText);
  l.base = QColor(base);
  l.text = QColor(text);
  l.button = QColor(button);
  l.buttonLight = QColor(buttonLight);
  l.buttonText = QColor(buttonText);
  l.border = QColor(border);
  l.highlight = QColor(highlight);
  l.highlightText = QColor(highlightText);
  l.accent = QColor(accent);
  l.tab = QColor(tab);
  l.tabSelected = QColor(tabSelected);
  l.tabText = QColor(tabText);
  l.title = QColor(title);
  l.dark = dark;
  return l;
}

QString Hex(const QColor& c) { return c.name(QColor::HexRgb); }

// The colour part of the way from a to b (0..1).
QColor Mix(const QColor& a, const QColor& b, double part) {
  auto channel = [part](int x, int y) { return static_cast<int>(x + (y - x) * part + 0.5); };
  return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

// Fusion frames a check box's indicator in a shade of the window colour, which vanishes on
// the light blue looks and on the dark ones alike: the box is framed in the look's border
// colour, so an unchecked box is still seen as one.
class FramedIndicatorStyle : public QProxyStyle {
 public:
  explicit FramedIndicatorStyle(QStyle* base) : QProxyStyle(base) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_IndicatorCheckBox || !option) return;
    const VisualLook& l = currentLook;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(l.dark ? l.border.lighter(150) : l.border.darker(115));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
};

// A new application style or style sheet re-polishes every widget, and Qt then gives the
// widgets that only inherited their window's font (tab bars, list boxes) the application's
// default font: Latin text grows and list lines change their height. The fonts are noted
// before the change and put back after it, whole, so a look never changes a font.
class FontsKept {
 public:
  FontsKept() {
    for (QWidget* w : QApplication::allWidgets()) {
      QFont font = w->font();
      font.setResolveMask(QFont::AllPropertiesResolved);
      fonts_.emplace_back(w, font);
    }
  }
  void PutBack() const {
    for (const auto& [w, font] : fonts_) {
      if (w && !(w->font() == font)) w->setFont(font);
    }
  }

 private:
  std::vector<std::pair<QPointer<QWidget>, QFont>> fonts_;
};

}  // namespace

const wchar_t* VisualStyleName(int index) {
  if (index < 0 || index >= kVisualStyleCount) return L"";
  return kEntries[index].name;
}

VisualManagerChoice ManagerOf(int index) {
  if (index < 0 || index >= kVisualStyleCount) return {VisualManager::Office2007, 0};
  return kEntries[index].choice;
}

VisualLook LookOf(VisualManagerChoice c) {
  //           window     winText    base       text       button     btnLight   btnText    border     highlight  hlText     accent     tab        tabSel     tabText    title
  switch (c.manager) {
    case VisualManager::Office2007:
      switch (c.style) {
        case 1:  // black
          return Make("#d7d9dc", "#1e1e1e", "#ffffff", "#000000", "#c6c9cd", "#eef0f2", "#1e1e1e", "#6d7075", "#ffd67a", "#000000", "#e38b17", "#8e9196", "#d7d9dc", "#111111", "#2b2b2b");
        case 2:  // aqua
          return Make("#d6e3ea", "#1b3a4b", "#ffffff", "#000000", "#c3d7e2", "#eef5f8", "#1b3a4b", "#7fa5b9", "#ffd67a", "#000000", "#2e7ea6", "#b0c8d6", "#d6e3ea", "#1b3a4b", "#1b3a4b");
        case 3:  // silver
          return Make("#e3e6eb", "#2c3440", "#ffffff", "#000000", "#d4d8df", "#f6f7f9", "#2c3440", "#9aa2ae", "#ffd67a", "#000000", "#5b6b82", "#c6ccd5", "#e3e6eb", "#2c3440", "#3b4656");
        default:  // blue
          return Make("#d6e4f5", "#15428b", "#ffffff", "#000000", "#c4daf5", "#eef5fd", "#15428b", "#8db2e3", "#ffd67a", "#000000", "#2a62b0", "#b7d0ef", "#d6e4f5", "#15428b", "#15428b");
      }
    case VisualManager::VisualStudio2010:
      return Make("#2b3c59", "#ffffff", "#ffffff", "#000000", "#e8edf5", "#ffffff", "#1e2b40", "#42557a", "#fff29d", "#000000", "#ffe8a6", "#40547a", "#f4f6fa", "#ffffff", "#ffffff");
    case VisualManager::Office2010:
      switch (c.style) {
        case 1:  // silver
          return Make("#edf0f3", "#3b3b3b", "#ffffff", "#000000", "#e3e7ec", "#fbfcfd", "#3b3b3b", "#a8b2bf", "#fde59a", "#000000", "#486b9a", "#d8dde4", "#edf0f3", "#3b3b3b", "#3b3b3b");
        case 2:  // black
          return Make("#b9babb", "#111111", "#ffffff", "#000000", "#a9abad", "#dcdddf", "#111111", "#5e6063", "#fde59a", "#000000", "#d68a1c", "#6f7174", "#b9babb", "#ffffff", "#111111");
        default:  // blue
          return Make("#dfe9f5", "#1e395b", "#ffffff", "#000000", "#d3e1f1", "#f7fafd", "#1e395b", "#a0b7d3", "#fde59a", "#000000", "#2c5ea0", "#c5d6ea", "#dfe9f5", "#1e395b", "#1e395b");
      }
    case VisualManager::Office2003:
      return Make("#c3daf9", "#00156e", "#ffffff", "#000000", "#d8e7fc", "#f4f8fe", "#00156e", "#6a8ccb", "#ffc069", "#000000", "#d2691e", "#9ebef5", "#e3efff", "#00156e", "#00156e");
    case VisualManager::VisualStudio2005:
      return Make("#ece9d8", "#000000", "#ffffff", "#000000", "#e4e1cf", "#fbfaf5", "#000000", "#aca899", "#c1d2ee", "#000000", "#316ac5", "#d6d2c2", "#fcfcfe", "#000000", "#3b3b3b");
    case VisualManager::VisualStudio2008:
      return Make("#eef0f5", "#1a1a1a", "#ffffff", "#000000", "#e1e6ef", "#fafbfd", "#1a1a1a", "#a0abc0", "#c1d2ee", "#000000", "#3c6eb4", "#cfd7e5", "#fcfcfe", "#1a1a1a", "#1a1a1a");
    case VisualManager::Carbon:
      return Make("#2b2d30", "#e4e4e4", "#1e1f22", "#e8e8e8", "#3c3f44", "#4a4e54", "#ececec", "#55595f", "#3d6ea8", "#ffffff", "#f0a030", "#36393d", "#1e1f22", "#e4e4e4", "#f0f0f0", true);
    case VisualManager::Scenic:
      return Make("#e8eff8", "#1f3550", "#ffffff", "#000000", "#dce6f3", "#ffffff", "#1f3550", "#a5b9d2", "#cce4fc", "#000000", "#2f74c0", "#d3dfee", "#ffffff", "#1f3550", "#1f3550");
  }
  return LookOf({VisualManager::Office2007, 0});
}

VisualLook LookOfIndex(int index) { return LookOf(ManagerOf(index)); }

QString StyleSheetOf(const VisualLook& l) {
  QString s;
  s += QStringLiteral("QDialog, QWidget#page { background: %1; color: %2; }\n").arg(Hex(l.window), Hex(l.windowText));
  s += QStringLiteral("QLabel, QRadioButton, QGroupBox { color: %1; background: transparent; }\n").arg(Hex(l.windowText));
  // Check boxes keep the style's own indicator (a box even when unchecked); only their text colour is set.
  s += QStringLiteral("QCheckBox { color: %1; }\nQCheckBox:disabled { color: %2; }\n").arg(Hex(l.windowText), Hex(l.border));
  s += QStringLiteral("QGroupBox { border: 1px solid %1; border-radius: 3px; margin-top: 0.7em; padding-top: 4px; }\n"
                      "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }\n").arg(Hex(l.border));
  s += QStringLiteral("QLineEdit, QPlainTextEdit, QListWidget, QComboBox, QTableView, QSpinBox {"
                      " background: %1; color: %2; border: 1px solid %3; selection-background-color: %4;"
                      " selection-color: %5; }\n")
           .arg(Hex(l.base), Hex(l.text), Hex(l.border), Hex(l.highlight), Hex(l.highlightText));
  s += QStringLiteral("QLineEdit:disabled, QPlainTextEdit:disabled { color: %1; }\n").arg(Hex(l.border));
  s += QStringLiteral("QTableView { gridline-color: %1; }\n").arg(Hex(l.border.lighter(l.dark ? 90 : 125)));
  s += QStringLiteral("QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2);"
                      " color: %3; border: 0; border-right: 1px solid %4; border-bottom: 1px solid %4; padding: 2px 4px; }\n")
           .arg(Hex(l.buttonLight), Hex(l.button), Hex(l.buttonText), Hex(l.border));
  s += QStringLiteral("QPushButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2);"
                      " color: %3; border: 1px solid %4; border-radius: 3px; padding: 2px 8px; }\n"
                      "QPushButton:hover { border-color: %5; }\n"
                      "QPushButton:pressed { background: %2; }\n"
                      "QPushButton:disabled { background: %6; color: %7; border-color: %8; }\n")
           .arg(Hex(l.buttonLight), Hex(l.button), Hex(l.buttonText), Hex(l.border), Hex(l.accent))
           // Flat and faded in every look: a disabled button must not read as one that works.
           .arg(Hex(Mix(l.button, l.window, 0.5)), Hex(Mix(l.buttonText, l.button, 0.6)), Hex(Mix(l.border, l.window, 0.5)));
  s += QStringLiteral("QPushButton[veltroLink=\"true\"] { background: transparent; border: 0; color: %1;"
                      " text-decoration: underline; padding: 0; }\n").arg(Hex(l.dark ? l.accent : l.title));
  s += QStringLiteral("QTabWidget::pane { border: 1px solid %1; background: %2; top: -1px; }\n"
                      "QTabBar::tab { background: %3; color: %4; border: 1px solid %1; border-bottom: 0;"
                      " padding: 4px 10px; margin-right: 2px; border-top-left-radius: 3px; border-top-right-radius: 3px; }\n"
                      "QTabBar::tab:selected { background: %2; color: %5; }\n"
                      "QTabBar::tab:!selected { margin-top: 2px; }\n")
           .arg(Hex(l.border), Hex(l.window), Hex(l.tab), Hex(l.tabText), Hex(l.windowText));
  s += QStringLiteral("QProgressBar { border: 1px solid %1; border-radius: 2px; background: %2; }\n"
                      "QProgressBar::chunk { background: %3; }\n")
           .arg(Hex(l.border), Hex(l.base), Hex(l.accent));
  s += QStringLiteral("QToolTip { color: %1; background: %2; border: 1px solid %3; }\n")
           .arg(Hex(l.text), Hex(l.base), Hex(l.border));
  return s;
}

void ApplyVisualStyle(int index) {
  current = ManagerOf(index);
  currentLook = LookOf(current);
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app) return;
  const FontsKept fonts;
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(new FramedIndicatorStyle(fusion));
  const VisualLook& l = currentLook;
  QPalette p;
  p.setColor(QPalette::Window, l.window);
  p.setColor(QPalette::WindowText, l.windowText);
  p.setColor(QPalette::Base, l.base);
  p.setColor(QPalette::AlternateBase, l.base.darker(104));
  p.setColor(QPalette::Text, l.text);
  p.setColor(QPalette::Button, l.button);
  p.setColor(QPalette::ButtonText, l.buttonText);
  p.setColor(QPalette::Highlight, l.highlight);
  p.setColor(QPalette::HighlightedText, l.highlightText);
  p.setColor(QPalette::Link, l.accent);
  p.setColor(QPalette::ToolTipBase, l.base);
  p.setColor(QPalette::ToolTipText, l.text);
  p.setColor(QPalette::PlaceholderText, l.border);
  p.setColor(QPalette::Light, l.buttonLight);
  p.setColor(QPalette::Mid, l.border);
  p.setColor(QPalette::Dark, l.border.darker(130));
  p.setColor(QPalette::Disabled, QPalette::Text, l.border);
  p.setColor(QPalette::Disabled, QPalette::WindowText, l.border);
  p.setColor(QPalette::Disabled, QPalette::ButtonText, l.border);
  QApplication::setPalette(p);
  app->setStyleSheet(StyleSheetOf(l));
  fonts.PutBack();
  for (QWidget* w : QApplication::allWidgets()) w->update();
}

VisualManagerChoice CurrentVisualManager() { return current; }

const VisualLook& CurrentLook() { return currentLook; }
