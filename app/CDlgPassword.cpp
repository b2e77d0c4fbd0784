#include "app/CDlgPassword.h"

#include "app/platform/WideText.h"
#include "texts/ConnectionText.h"

namespace {
std::function<int(CDlgPassword&)>& RunHook() {
  static std::function<int(CDlgPassword&)> hook;
  return hook;
}
}  // namespace

void CDlgPassword::SetRunHook(std::function<int(CDlgPassword&)> hook) { RunHook() = std::move(hook); }

CDlgPassword::CDlgPassword(const std::string& user, const std::string& host, QWidget* parent)
    : CPlatformDialog(Template(), Style::Modal, parent) {
  SetItemText(kIdPrompt, Utf8ToWide(PasswordPrompt(user, host)));
}

DialogTemplate CDlgPassword::Template() {
  return DialogTemplate{L"需要密码", 254, 92,
                        {
                            {ControlKind::Static, kIdPrompt, L"", {14, 10, 226, 20}},
                            {ControlKind::Edit, kIdPassword, L"", {14, 34, 226, 14}, kAutoHScroll | kPassword},
                            {ControlKind::CheckBox, kIdRemember, L"记住密码", {14, 54, 120, 12}},
                            {ControlKind::PushButton, kIdOk, L"确定", {134, 70, 50, 16}, kDefaultButton},
                            {ControlKind::PushButton, kIdCancel, L"取消", {194, 70, 50, 16}},
                        }};
}

int CDlgPassword::Run() {
  if (RunHook()) return RunHook()(*this);
  return DoModal();
}

void CDlgPassword::OnOK() {
  password_ = WideToUtf8(GetItemText(kIdPassword));
  remember_ = IsItemChecked(kIdRemember);
  EndDialog(kIdOk);
}
