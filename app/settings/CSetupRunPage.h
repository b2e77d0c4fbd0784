#pragma once
// The run page (dialog 148 "运行设置"): maximum depth (edit 1021, 1 to 999) and threads
// (edit 1022, 1 to 20), digits only and each with its range beside it; the sorted,
// multi-selection list 1025 of forbidden file types with "增加" (1026) and "删除" (1027);
// "恢复默认值" (1023).
//
// Added and deleted types and the two numbers change the settings only at Apply or OK, so
// Cancel leaves them as they were. A number outside its range (or none) is refused there with
// a message naming the range, never replaced.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;
class QListWidget;

class CSetupRunPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdDepth = 1021;
  static constexpr int kIdThreads = 1022;
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdTypes = 1025;
  static constexpr int kIdAdd = 1026;
  static constexpr int kIdDelete = 1027;

  explicit CSetupRunPage(std::weak_ptr<CSetupManager> source);
  static DialogTemplate Template();

  void Apply() override;
  void InitControls() override;
  void LoadControls() override;
  void RestoreDefaults() override;
  void OnInitPage() override;
  bool FindRefusedEntry(RefusedEntry& refused) const override;

  QListWidget* typeList() const;
  // Adds a type to the list box as it is (duplicates included); the list keeps its sorting.
  void AddListEntry(const std::string& type);

 protected:
  void OnCommand(int id) override;

 private:
  void AddTypes();
  void DeleteSelectedTypes();

  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
