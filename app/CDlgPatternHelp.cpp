#include "app/CDlgPatternHelp.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/platform/WideText.h"
#include "app/platform/StringRes.h"

DialogTemplate CDlgPatternHelp::Template() {
  return DialogTemplate{L"样式帮助", 260, 150,
                        {
                            {ControlKind::MultiLineEdit, kIdText, L"", {7, 7, 246, 116}, kReadOnly},
                            {ControlKind::PushButton, kIdOk, L"确定", {105, 129, 50, 15}, kDefaultButton},
                        }};
}

CDlgPatternHelp::CDlgPatternHelp(Topic topic, QWidget* parent) : CPlatformDialog(Template(), Style::Modal, parent) {
  // The help is read, not edited: its lines wrap at the box's width, so none runs off the right.
  if (auto* box = ControlAs<QPlainTextEdit>(kIdText)) box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  SetItemText(kIdText, Utf8ToWide(LoadStringById(topic == Topic::Include ? 134 : 135)));
  if (auto* ok = ControlAs<QPushButton>(kIdOk)) ok->setFocus();
}
