#pragma once
// The page "提交到搜索引擎": Baidu's 普通收录 push (site 1050, token 1051 shown masked, endpoint
// 1052), IndexNow (key 1053, endpoint 1054), the HTML sitemap page (check box 1055), the
// dead-link file (1056) with every failure in it (1057), and "恢复默认值" (1023). An IndexNow
// key of other characters, or a Baidu site without a host, is refused at Apply and OK with a
// message. Nothing is ever sent from here: the sitemap tab's button sends.
#include <memory>

#include "app/settings/CVtPropertyPage.h"

class CSetupManager;

class CSetupPushPage : public CVtPropertyPage {
  Q_OBJECT
 public:
  static constexpr int kIdDefaults = 1023;
  static constexpr int kIdBaiduSite = 1050;
  static constexpr int kIdBaiduToken = 1051;
  static constexpr int kIdBaiduEndpoint = 1052;
  static constexpr int kIdIndexNowKey = 1053;
  static constexpr int kIdIndexNowEndpoint = 1054;
  static constexpr int kIdHtmlSitemap = 1055;
  static constexpr int kIdDeadLinks = 1056;
  static constexpr int kIdDeadLinksAll = 1057;

  explicit CSetupPushPage(std::weak_ptr<CSetupManager> source);
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
  std::string TextOf(int id) const;

  std::weak_ptr<CSetupManager> source_;
  std::shared_ptr<CSetupManager> setup_;  // empty until the page is initialised
};
