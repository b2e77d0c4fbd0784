#pragma once
// The appearance page (dialog 143 "界面设置"): the list 1021 of the thirteen visual styles.
// Its Apply stores the chosen index and applies that style at once; nothing is previewed
// before, so Cancel leaves the look as it was.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupUIPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdStyleList = 1021;

  explicit CSetupUIPage(std::weak_ptr<CSetupManager> source);
  static DialogTemplate Template();

  void Apply() override;
  void InitControls() override;
  void LoadControls() override;
  void RestoreDefaults() override {}
  void OnInitPage() override;

 private:
  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
