#pragma once
// The crawl rules page "抓取规则": obey robots.txt with meta robots and rel="nofollow" (check box
// 1030), the least interval between two requests in milliseconds (edit 1031, digits only,
// 0 to 60000; any other entry, none included, is refused at Apply and OK with its range), the
// user agent (edit 1032), lastmod from Last-Modified (check box 1033), the
// sitemap index (check box 1034), render pages in a headless browser (check box 1035, disabled
// with the reason in label 1036 when the browser is missing) and "恢复默认值" (1023).
//
// Every default leaves the crawl as it is without these rules. The settings change only at
// Apply or OK.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupRulesPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdObeyRobots = 1030;
  static constexpr int kIdInterval = 1031;
  static constexpr int kIdUserAgent = 1032;
  static constexpr int kIdLastmod = 1033;
  static constexpr int kIdIndex = 1034;
  static constexpr int kIdRender = 1035;
  static constexpr int kIdAudit = 1039;
  static constexpr int kIdRenderNote = 1036;

  explicit CSetupRulesPage(std::weak_ptr<CSetupManager> source);
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
  bool renderAvailable_ = false;           // the browser the setting needs is there
};
