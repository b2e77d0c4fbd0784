#pragma once
// The URL rules page "网址规则": query parameters taken off every address (edit 1040, one name a
// line, "*" any text; button 1041 adds the usual session and tracking names), every parameter
// taken off but the kept ones (check box 1042, edit 1043), addresses never crawled (edit 1044,
// one pattern a line) and the most pages a crawl fetches (edit 1045, digits only, 0 for no
// limit), and "恢复默认值" (1023). A bad name, a pattern that would skip the root, or a number
// out of range is refused at Apply and OK with a message.
//
// Every default leaves the crawl as it is without these rules. The settings change only at
// Apply or OK.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupUrlRulesPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdRemoveParams = 1040;
  static constexpr int kIdAddCommon = 1041;
  static constexpr int kIdRemoveAll = 1042;
  static constexpr int kIdKeepParams = 1043;
  static constexpr int kIdSkip = 1044;
  static constexpr int kIdMaxPages = 1045;

  // What button 1041 adds: the usual session and tracking parameters.
  static constexpr const char* kCommonNames[] = {"PHPSESSID", "jsessionid", "sid",   "sessionid", "ASPSESSIONID*",
                                                 "utm_*",     "gclid",      "fbclid", "spm"};

  explicit CSetupUrlRulesPage(std::weak_ptr<CSetupManager> source);
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
  // The names of edit id, one a line, as the setting stores them.
  std::string ListOf(int id) const;
  void AddCommonNames();

  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
