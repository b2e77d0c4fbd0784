#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>
#include <array>
#include <string>

#include "AppTestSupport.h"
#include "app/CDlgSubAudit.h"
#include "app/platform/CReportList.h"
#include "app/platform/WideText.h"
#include "output/AuditReport.h"
#include "settings/CSetupManager.h"
#include "support/AuditSite.h"

namespace {

class AuditWindowTest : public WindowTest {};

TEST_F(AuditWindowTest, TheAuditPageCountsEveryKindAndSavesTheReport) {
  AuditSite site;
  ASSERT_TRUE(site.Start());
  CSetupManager& setup = Window().setup();
  setup.auditSitemap = 1;
  setup.obeyRobots = 1;
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());

  CDlgSubAudit& page = *Window().auditPage();
  // orphan, missing, redirect, error, noindex, canonicalised, blocked, offsite, toolong, format
  EXPECT_EQ(page.counts(), (std::array<size_t, kAuditKindCount>{2, 1, 1, 1, 1, 1, 1, 2, 1, 6}));
  const std::wstring counts = page.GetItemText(CDlgSubAudit::kIdCounts);
  EXPECT_NE(counts.find(L"孤立网页 2"), std::wstring::npos) << WideToUtf8(counts);
  EXPECT_NE(counts.find(L"格式问题 6"), std::wstring::npos) << WideToUtf8(counts);
  CReportList* list = page.list();
  ASSERT_EQ(list->RowCount(), 17);
  bool redirectShown = false;
  for (int row = 0; row < list->RowCount(); ++row)
    if (list->ItemText(row, 0) == L"重定向") {
      redirectShown = true;
      EXPECT_EQ(WideToUtf8(list->ItemText(row, 1)), site.At("/moved.html"));
      EXPECT_EQ(list->ItemText(row, 2), L"301");
      EXPECT_EQ(WideToUtf8(list->ItemText(row, 3)), site.At("/a.html"));
    }
  EXPECT_TRUE(redirectShown);

  page.ControlAs<QPushButton>(CDlgSubAudit::kIdSave)->click();
  EXPECT_TRUE(messageBoxes_.empty());
  const std::string tsv = ReadFileBytes(AuditReportName(SiteFiles(site.origin())));
  EXPECT_EQ(tsv.substr(0, tsv.find('\n') + 1), kAuditTsvHeader);
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 18);
  EXPECT_NE(tsv.find("redirect\t" + site.At("/moved.html") + "\t301\t" + site.At("/a.html") + "\n"), std::string::npos);
  EXPECT_TRUE(site.other.targets().empty());
}

TEST_F(AuditWindowTest, WithoutTheSettingThePageSaysHowToTurnItOnAndSavesNothing) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", Resource{200, "text/html", "<html><body>x</body></html>", ""});
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  CDlgSubAudit& page = *Window().auditPage();
  EXPECT_EQ(page.list()->RowCount(), 0);
  EXPECT_NE(page.GetItemText(CDlgSubAudit::kIdCounts).find(L"检查网站现有的网站地图"), std::wstring::npos);
  EXPECT_EQ(site.count("/robots.txt"), 0u);
  page.ControlAs<QPushButton>(CDlgSubAudit::kIdSave)->click();
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"检查结果"), std::wstring::npos);
}

}  // namespace
