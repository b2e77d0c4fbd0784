#include "app/settings/CSetupAutoSavePage.h"

#include <QToolButton>

#include "texts/SettingsText.h"
#include "app/platform/CFolderEdit.h"
#include "app/platform/EditBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SetupPageRules.h"

CSetupAutoSavePage::CSetupAutoSavePage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupAutoSavePage::Template() {
  return DialogTemplate{L"自动保存设置", 415, 261,
                        {
                            {ControlKind::CheckBox, kIdEnabled, L"执行自动保存", {20, 14, 120, 12}},
                            {ControlKind::CheckBox, kIdGzip, L"GZIP压缩", {20, 34, 120, 12}},
                            {ControlKind::Static, -1, L"自动保存间隔(分钟)", {20, 58, 92, 10}},
                            {ControlKind::Edit, kIdInterval, L"", {116, 56, 60, 14}, kAutoHScroll},
                            {ControlKind::Static, -1, Utf8ToWide(RangeLabel(kAutoSaveMinutesRange)), {180, 58, 40, 10}},
                            {ControlKind::Static, -1, L"保存路径", {20, 80, 92, 10}},
                            {ControlKind::FolderEdit, kIdPath, L"", {116, 78, 280, 14}, kAutoHScroll},
                            {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 240, 82, 16}},
                        }};
}

void CSetupAutoSavePage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupAutoSavePage::InitControls() {
  SetDigitsOnly(Control(kIdInterval));
  if (auto* path = ControlAs<CFolderEdit>(kIdPath)) path->browseButton()->setVisible(true);
}

void CSetupAutoSavePage::LoadControls() {
  if (!setup_) return;
  if (setup_->autoSaveEnabled == 0) {
    CheckItem(kIdEnabled, false);
    return;
  }
  CheckItem(kIdEnabled, true);
  SetItemText(kIdInterval, std::to_wstring(IntervalMinutesOf(setup_->autoSaveInterval)));
  CheckItem(kIdGzip, setup_->autoSaveGzip != 0);
  SetItemText(kIdPath, Utf8ToWide(setup_->autoSavePath));
}

bool CSetupAutoSavePage::FindRefusedEntry(RefusedEntry& refused) const {
  // With auto-save off the interval is not stored, so nothing in it can be wrong.
  return IsItemChecked(kIdEnabled) && RefuseOutsideRange(kIdInterval, kAutoSaveMinutesRange, refused);
}

void CSetupAutoSavePage::Apply() {
  if (!setup_) return;
  if (!IsItemChecked(kIdEnabled)) {
    setup_->autoSaveEnabled = 0;
    return;
  }
  setup_->autoSaveEnabled = 1;
  setup_->autoSaveInterval = IntervalSecondsOf(ReadNumber(kIdInterval));
  setup_->autoSaveGzip = IsItemChecked(kIdGzip) ? 1 : 0;
  setup_->autoSavePath = WideToUtf8(GetItemText(kIdPath));
}

void CSetupAutoSavePage::RestoreDefaults() {
  CheckItem(kIdEnabled, true);
  // The edit takes minutes: the default of 180 seconds is 3 of them.
  SetItemText(kIdInterval, std::to_wstring(IntervalMinutesOf(CSetupManager().autoSaveInterval)));
  CheckItem(kIdGzip, true);
  SetItemText(kIdPath, L"");
}

void CSetupAutoSavePage::OnCommand(int id) {
  if (id == kIdDefaults) {
    RestoreDefaults();
    return;
  }
  CVtPropertyPage::OnCommand(id);
}
