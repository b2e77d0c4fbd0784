#pragma once
// The settings sheet "选项设置" with its seven pages, all created and loaded with the sheet:
// appearance, run, auto-save, crawl rules, URL rules, sitemap content, connection and search engines. Apply and OK store
// every page, shown or not: step 1 the appearance page (and the sheet redrawn in the new look),
// step 2 nothing, step 3 the run page, step 4 the auto-save page, step 5 the crawl rules, URL
// rules, sitemap content, connection and search engine pages.
// The sheet only changes the settings object; after each Apply or OK that was not refused it
// calls its owner's handler (the main window stores the settings and restarts its auto-save
// timer there), with the sheet to show any message over.
#include <functional>
#include <memory>

#include "app/settings/CSetupAutoSavePage.h"
#include "app/settings/CSetupConnectionPage.h"
#include "app/settings/CSetupPushPage.h"
#include "app/settings/CSetupRulesPage.h"
#include "app/settings/CSetupRunPage.h"
#include "app/settings/CSetupSitemapPage.h"
#include "app/settings/CSetupUIPage.h"
#include "app/settings/CSetupUrlRulesPage.h"
#include "app/settings/CVtPropertySheet.h"

class CSetupManager;

class CSetupPropSheet : public CVtPropertySheet {
  Q_OBJECT
 public:
  using AppliedHandler = std::function<void(QWidget* sheet)>;

  CSetupPropSheet(const std::shared_ptr<CSetupManager>& setup, QWidget* parent = nullptr,
                  AppliedHandler applied = {});
  ~CSetupPropSheet() override;

  CSetupUIPage& uiPage() { return uiPage_; }
  CSetupRunPage& runPage() { return runPage_; }
  CSetupAutoSavePage& autoSavePage() { return autoSavePage_; }
  CSetupRulesPage& rulesPage() { return rulesPage_; }
  CSetupUrlRulesPage& urlRulesPage() { return urlRulesPage_; }
  CSetupSitemapPage& sitemapPage() { return sitemapPage_; }
  CSetupConnectionPage& connectionPage() { return connectionPage_; }
  CSetupPushPage& pushPage() { return pushPage_; }

  void ApplyStep1() override;
  void ApplyStep3() override;
  void ApplyStep4() override;
  void ApplyStep5() override;
  void OnApplied() override;

  // The header title of page n: strings 127 to 129, then the captions of the crawl rules, URL
  // rules, sitemap content and connection pages.
  static QString PageTitle(int page);

 protected:
  void OnDrawPageHeader(QPainter& painter, const QRect& area, int page) override;

 private:
  // Members in page order; destroyed before the sheet's widgets, which they leave cleanly.
  CSetupUIPage uiPage_;
  CSetupRunPage runPage_;
  CSetupAutoSavePage autoSavePage_;
  CSetupRulesPage rulesPage_;
  CSetupUrlRulesPage urlRulesPage_;
  CSetupSitemapPage sitemapPage_;
  CSetupConnectionPage connectionPage_;
  CSetupPushPage pushPage_;
  AppliedHandler applied_;
};
