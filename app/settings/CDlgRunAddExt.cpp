#include "app/settings/CDlgRunAddExt.h"

#include <QLineEdit>

#include "texts/SettingsText.h"
#include "app/platform/MessageBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/SetupPageRules.h"

namespace {
std::function<int(CDlgRunAddExt&)>& RunHook() {
  static std::function<int(CDlgRunAddExt&)> hook;
  return hook;
}
}  // namespace

void CDlgRunAddExt::SetRunHook(std::function<int(CDlgRunAddExt&)> hook) { RunHook() = std::move(hook); }

CDlgRunAddExt::CDlgRunAddExt(QWidget* parent) : CPlatformDialog(Template(), Style::Modal, parent) {}

DialogTemplate CDlgRunAddExt::Template() {
  return DialogTemplate{L"增加禁止访问的文件类型", 254, 134,
                        {
                            {ControlKind::Static, -1, L"输入时不需要加点", {14, 14, 200, 10}},
                            {ControlKind::Edit, kEditIds[0], L"", {14, 40, 50, 14}, kAutoHScroll},
                            {ControlKind::Edit, kEditIds[1], L"", {74, 40, 50, 14}, kAutoHScroll},
                            {ControlKind::Edit, kEditIds[2], L"", {134, 40, 50, 14}, kAutoHScroll},
                            {ControlKind::Edit, kEditIds[3], L"", {194, 40, 50, 14}, kAutoHScroll},
                            {ControlKind::PushButton, kIdOk, L"确定", {134, 108, 50, 16}, kDefaultButton},
                            {ControlKind::PushButton, kIdCancel, L"取消", {194, 108, 50, 16}},
                        }};
}

int CDlgRunAddExt::Run() {
  if (RunHook()) return RunHook()(*this);
  return DoModal();
}

std::string CDlgRunAddExt::Entry(size_t index) const {
  return index < entries_.size() ? entries_[index] : std::string();
}

void CDlgRunAddExt::OnOK() {
  std::vector<std::string> entries;
  for (int id : kEditIds) {
    const std::string text = WideToUtf8(TrimWhitespace(GetItemText(id)));
    if (text.empty()) continue;
    if (!IsFileTypeEntry(text)) {
      // Stays open on the entry, so the user corrects it instead of typing all four again.
      ShowMessageBox(this, Utf8ToWide(FileTypeEntryMessage(text)));
      if (QWidget* edit = Control(id)) {
        edit->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(edit)) line->selectAll();
      }
      return;
    }
    entries.push_back(text);
  }
  entries_ = std::move(entries);
  EndDialog(kIdOk);
}
