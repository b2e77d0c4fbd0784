#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <memory>
#include <string>

#include "app/platform/VisualStyle.h"
#include "app/settings/CSetupPropSheet.h"
#include "settings/CSetupManager.h"
#include "tests/app/settings/SheetTestSupport.h"

namespace {

class SitemapPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyVisualStyle(0);
    setup->ResetToDefaults();
  }
  void TearDown() override { ApplyVisualStyle(0); }

  std::shared_ptr<CSetupManager> setup = std::make_shared<CSetupManager>();
};

}  // namespace

TEST_F(SitemapPageTest, PageShowsTheSettingsRefusesUnknownValuesWithAMessageAndStoresGoodOnes) {
  setup->sitemapHreflang = 1;
  setup->sitemapImages = 1;
  setup->sitemapPriority = "1.0,0.8";
  CSetupPropSheet sheet(setup);
  CSetupSitemapPage& page = sheet.sitemapPage();
  EXPECT_EQ(page.windowTitle(), QStringLiteral("网站地图内容"));
  EXPECT_FALSE(page.IsItemChecked(CSetupSitemapPage::kIdCanonical));
  EXPECT_TRUE(page.IsItemChecked(CSetupSitemapPage::kIdHreflang));
  EXPECT_TRUE(page.IsItemChecked(CSetupSitemapPage::kIdImages));
  EXPECT_EQ(page.GetItemText(CSetupSitemapPage::kIdChangefreq), L"daily");
  EXPECT_EQ(page.GetItemText(CSetupSitemapPage::kIdPriority), L"1.0,0.8");

  MessageBoxRecorder boxes;
  page.CheckItem(CSetupSitemapPage::kIdCanonical, true);
  page.SetItemText(CSetupSitemapPage::kIdChangefreq, L"sometimes");
  Click(sheet, CVtPropertySheet::kIdApply);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].find(L"更新频率"), std::wstring::npos);
  EXPECT_EQ(sheet.activePage(), 5);
  EXPECT_EQ(setup->sitemapCanonical, 0);  // nothing applied

  page.SetItemText(CSetupSitemapPage::kIdChangefreq, L" weekly ");
  page.SetItemText(CSetupSitemapPage::kIdPriority, L"0.9,1.2");
  Click(sheet, CVtPropertySheet::kIdApply);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_NE(boxes.shown[1].find(L"优先级"), std::wstring::npos);
  EXPECT_EQ(setup->sitemapChangefreq, "daily");

  page.SetItemText(CSetupSitemapPage::kIdPriority, L"none");
  page.SetItemText(CSetupSitemapPage::kIdLastmodFrom, L"modified");
  Click(sheet, CVtPropertySheet::kIdApply);
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_NE(boxes.shown[2].find(L"lastmod 来源"), std::wstring::npos);
  EXPECT_EQ(setup->sitemapLastmodFrom, "start");

  page.SetItemText(CSetupSitemapPage::kIdLastmodFrom, L" content ");
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(setup->sitemapLastmodFrom, "content");
  EXPECT_EQ(setup->sitemapCanonical, 1);
  EXPECT_EQ(setup->sitemapHreflang, 1);
  EXPECT_EQ(setup->sitemapChangefreq, "weekly");
  EXPECT_EQ(setup->sitemapPriority, "none");
}

TEST_F(SitemapPageTest, RestoreDefaultsBringsBackTodaysSitemapAndTheIconIsDrawnInBothLooks) {
  setup->sitemapCanonical = 1;
  setup->sitemapImages = 1;
  setup->sitemapChangefreq = "never";
  setup->sitemapLastmodFrom = "none";
  for (int style : {0, 11}) {
    ApplyVisualStyle(style);
    CSetupPropSheet sheet(setup);
    sheet.SetActivePage(5);
    sheet.show();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.sitemapPage().isVisible()) << style;
    QImage header = sheet.header()->grab().toImage();
    // The page's icon is drawn at the header's left: its green tree is there.
    int green = 0;
    for (int y = 0; y < header.height(); ++y)
      for (int x = 0; x < std::min(header.width(), 80); ++x) {
        QColor c = header.pixelColor(x, y);
        green += c.green() > 120 && c.red() < 140 && c.blue() < 110;
      }
    EXPECT_GT(green, 20) << style;
    EXPECT_FALSE(sheet.navigation()->item(5)->icon().isNull()) << style;
    sheet.hide();
  }
  CSetupPropSheet sheet(setup);
  Click(sheet.sitemapPage(), CSetupSitemapPage::kIdDefaults);
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_EQ(setup->sitemapCanonical, 0);
  EXPECT_EQ(setup->sitemapHreflang, 0);
  EXPECT_EQ(setup->sitemapImages, 0);
  EXPECT_EQ(setup->sitemapChangefreq, "daily");
  EXPECT_EQ(setup->sitemapPriority, "0.5");
  EXPECT_EQ(setup->sitemapLastmodFrom, "start");
}
