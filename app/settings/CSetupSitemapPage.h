#pragma once
// The sitemap content page "网站地图内容": only canonical addresses (check box 1040), language
// alternates (check box 1041), the change frequency (edit 1042: a protocol word or none) and
// the priority (edit 1043: one value, a list by link depth or none), where lastmod comes from
// (edit 1044: start, header, content or none), and "恢复默认值" (1023).
//
// Every default writes the sitemap as it is without these settings. A change frequency or
// priority the sitemap protocol does not know, or a lastmod source none of the four, refuses Apply and OK with a message. The
// settings change only at Apply or OK.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupSitemapPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdCanonical = 1040;
  static constexpr int kIdHreflang = 1041;
  static constexpr int kIdChangefreq = 1042;
  static constexpr int kIdPriority = 1043;
  static constexpr int kIdLastmodFrom = 1044;
  static constexpr int kIdImages = 1045;

  explicit CSetupSitemapPage(std::weak_ptr<CSetupManager> source);
  static DialogTemplate Template();

  bool FindRefusedEntry(RefusedEntry& refused) const override;
  void Apply() override;
  void InitControls() override {}
  void LoadControls() override;
  void RestoreDefaults() override;
  void OnInitPage() override;

 protected:
  void OnCommand(int id) override;

 private:
  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
