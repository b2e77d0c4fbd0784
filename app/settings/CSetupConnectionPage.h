#pragma once
// The connection page "连接": HTTP authentication (user 1050, password 1051, "记住密码" 1052),
// header lines (1053, one "Name: value" a line) and a cookie file (1054), a proxy (1055) or
// none whatever the environment says (1056), a CA file (1057) or no verification (1058), the
// connect and total time-outs (1059, 1060) and the most requests a second (1061), and
// "恢复默认值" (1023). A bad header, proxy, file or number is refused at Apply and OK with a
// message naming it.
//
// Every default connects as the program did without these settings. The settings change only
// at Apply or OK. A password typed here is kept in memory only, unless 记住密码 is ticked.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupConnectionPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdUser = 1050;
  static constexpr int kIdPassword = 1051;
  static constexpr int kIdRemember = 1052;
  static constexpr int kIdHeaders = 1053;
  static constexpr int kIdCookieFile = 1054;
  static constexpr int kIdProxy = 1055;
  static constexpr int kIdNoProxy = 1056;
  static constexpr int kIdCaFile = 1057;
  static constexpr int kIdInsecure = 1058;
  static constexpr int kIdConnectTimeout = 1059;
  static constexpr int kIdTotalTimeout = 1060;
  static constexpr int kIdMaxRate = 1061;

  explicit CSetupConnectionPage(std::weak_ptr<CSetupManager> source);
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
  std::string TextOf(int id) const;

  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
