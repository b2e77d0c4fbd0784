#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <memory>
#include <string>

#include "app/platform/WideText.h"
#include "app/platform/VisualStyle.h"
#include "app/settings/CSetupPropSheet.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "tests/app/settings/SheetTestSupport.h"

namespace {

class UrlRulesPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyVisualStyle(0);
    setup->ResetToDefaults();
  }
  void TearDown() override { ApplyVisualStyle(0); }

  std::shared_ptr<CSetupManager> setup = std::make_shared<CSetupManager>();
};

using Page = CSetupUrlRulesPage;

}  // namespace

TEST_F(UrlRulesPageTest, PageShowsTheRulesRefusesBadEntriesWithAMessageAndStoresGoodOnes) {
  setup->keepParams = "id";
  setup->maxPages = 300;
  CSetupPropSheet sheet(setup);
  Page& page = sheet.urlRulesPage();
  EXPECT_EQ(page.windowTitle(), QStringLiteral("网址规则"));
  EXPECT_EQ(page.GetItemText(Page::kIdRemoveParams), L"");
  EXPECT_FALSE(page.IsItemChecked(Page::kIdRemoveAll));
  EXPECT_EQ(page.GetItemText(Page::kIdKeepParams), L"id\r\n");
  EXPECT_EQ(page.GetItemText(Page::kIdMaxPages), L"300");

  // One click gives the usual session and tracking names; a second adds none twice.
  page.SetItemText(Page::kIdRemoveParams, L"phpsessid\n");
  Click(page, Page::kIdAddCommon);
  Click(page, Page::kIdAddCommon);
  EXPECT_EQ(page.GetItemText(Page::kIdRemoveParams),
            L"phpsessid\r\njsessionid\r\nsid\r\nsessionid\r\nASPSESSIONID*\r\nutm_*\r\ngclid\r\nfbclid\r\nspm\r\n");

  MessageBoxRecorder boxes;
  struct Bad {
    int id;
    std::wstring text;
    std::wstring named;  // what the message names
  };
  for (const Bad& bad : {Bad{Page::kIdKeepParams, L"id\na=b", L"a=b"}, Bad{Page::kIdSkip, L"*calendar*\n/*", L"/*"},
                         Bad{Page::kIdMaxPages, L"99999999999", L"最多爬的网页数"}}) {
    page.SetItemText(bad.id, bad.text);
    boxes.shown.clear();
    Click(sheet, CVtPropertySheet::kIdApply);
    ASSERT_EQ(boxes.shown.size(), 1u) << WideToUtf8(bad.text);
    EXPECT_NE(boxes.shown[0].find(bad.named), std::wstring::npos) << WideToUtf8(boxes.shown[0]);
    EXPECT_EQ(sheet.activePage(), 4);
    EXPECT_EQ(setup->removeParams, "") << "nothing applied";
    page.SetItemText(bad.id, bad.id == Page::kIdMaxPages ? L"" : L" ");
  }
  // An empty number is refused as well; a good one goes through with the rest.
  boxes.shown.clear();
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_EQ(boxes.shown.size(), 1u);
  page.SetItemText(Page::kIdMaxPages, L"5000");
  page.SetItemText(Page::kIdSkip, L"  *calendar* \n\n*print=1*\n");
  Click(page, Page::kIdRemoveAll);
  page.SetItemText(Page::kIdKeepParams, L"id\npage");
  boxes.shown.clear();
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(setup->removeParams, "phpsessid\njsessionid\nsid\nsessionid\nASPSESSIONID*\nutm_*\ngclid\nfbclid\nspm");
  EXPECT_EQ(setup->removeAllParams, 1);
  EXPECT_EQ(setup->keepParams, "id\npage");
  EXPECT_EQ(setup->skipPatterns, "*calendar*\n*print=1*");
  EXPECT_EQ(setup->maxPages, 5000);
}

TEST_F(UrlRulesPageTest, RestoreDefaultsChangesNoAddressAndTheIconIsDrawnInBothLooks) {
  setup->removeParams = "sid";
  setup->removeAllParams = 1;
  setup->skipPatterns = "*cal*";
  setup->maxPages = 10;
  for (int style : {0, 11}) {
    ApplyVisualStyle(style);
    CSetupPropSheet sheet(setup);
    sheet.SetActivePage(4);
    sheet.show();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.urlRulesPage().isVisible()) << style;
    QImage header = sheet.header()->grab().toImage();
    // The icon's orange funnel is drawn at the header's left.
    int orange = 0;
    for (int y = 0; y < header.height(); ++y)
      for (int x = 0; x < std::min(header.width(), 80); ++x) {
        QColor c = header.pixelColor(x, y);
        orange += c.red() > 200 && c.green() > 130 && c.green() < 220 && c.blue() < 120;
      }
    EXPECT_GT(orange, 20) << style;
    EXPECT_FALSE(sheet.navigation()->item(4)->icon().isNull()) << style;
    sheet.hide();
  }
  CSetupPropSheet sheet(setup);
  Click(sheet.urlRulesPage(), Page::kIdDefaults);
  Click(sheet, CPlatformDialog::kIdOk);
  CSetupManager defaults;
  defaults.ResetToDefaults();
  EXPECT_EQ(setup->removeParams, defaults.removeParams);
  EXPECT_EQ(setup->removeAllParams, 0);
  EXPECT_EQ(setup->keepParams, "");
  EXPECT_EQ(setup->skipPatterns, "");
  EXPECT_EQ(setup->maxPages, 0);
}
