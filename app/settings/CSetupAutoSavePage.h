#pragma once
// The auto-save page (dialog 149 "自动保存设置"): "执行自动保存" (check box 1027),
// "GZIP压缩" (check box 1016), the interval in minutes (edit 1021, digits only, 1 to 60 with
// its range beside it), the save path (edit 1028 with a folder-browse button) and "恢复默认值"
// (1023).
//
// With auto-save off, only the check box is loaded and only the switch is stored: interval,
// gzip flag and path keep their values in the settings. With it on, an interval outside its
// range (or none) is refused at Apply and OK with a message naming the range.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupAutoSavePage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdGzip = 1016;
  static constexpr int kIdInterval = 1021;
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdEnabled = 1027;
  static constexpr int kIdPath = 1028;

  explicit CSetupAutoSavePage(std::weak_ptr<CSetupManager> source);
  static DialogTemplate Template();

  bool FindRefusedEntry(RefusedEntry& refused) const override;
  void Apply() override;
  void InitControls() override;
  void LoadControls() override;
  void RestoreDefaults() override;
  void OnInitPage() override;

 protected:
  void OnCommand(int id) override;

 private:
  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
