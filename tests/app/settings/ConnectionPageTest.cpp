#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <fstream>
#include <memory>
#include <string>

#include "app/platform/VisualStyle.h"
#include "app/platform/WideText.h"
#include "app/settings/CSetupPropSheet.h"
#include "settings/CSetupManager.h"
#include "support/TempDir.h"
#include "tests/app/settings/SheetTestSupport.h"

namespace {

class ConnectionPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyVisualStyle(0);
    setup->ResetToDefaults();
  }
  void TearDown() override { ApplyVisualStyle(0); }

  std::shared_ptr<CSetupManager> setup = std::make_shared<CSetupManager>();
};

using Page = CSetupConnectionPage;
constexpr int kPageIndex = 6;

}  // namespace

TEST_F(ConnectionPageTest, BadEntriesAreRefusedWithAMessageNamingThemAndGoodOnesStored) {
  TempDir dir;
  const std::string cookies = (dir.path() / "cookies.txt").string();
  std::ofstream(cookies) << "# Netscape HTTP Cookie File\nexample.com\tFALSE\t/\tFALSE\t0\tsid\tabc\n";
  const std::string notes = (dir.path() / "notes.txt").string();
  std::ofstream(notes) << "notes\n";
  setup->credentials = "alice:s3cret";
  CSetupPropSheet sheet(setup);
  Page& page = sheet.connectionPage();
  EXPECT_EQ(page.windowTitle(), QStringLiteral("连接"));
  EXPECT_EQ(page.GetItemText(Page::kIdUser), L"alice");
  EXPECT_EQ(page.GetItemText(Page::kIdPassword), L"s3cret");
  EXPECT_EQ(page.GetItemText(Page::kIdTotalTimeout), L"10");

  MessageBoxRecorder boxes;
  struct Bad {
    int id;
    std::wstring text;
    std::wstring named;  // what the message names
  };
  for (const Bad& bad : {Bad{Page::kIdHeaders, L"X-Ok: 1\nno colon", L"no colon"},
                         Bad{Page::kIdHeaders, L"Host: elsewhere", L"Host"},
                         Bad{Page::kIdProxy, L"ftp://proxy", L"socks5h://"},
                         Bad{Page::kIdCookieFile, Utf8ToWide(notes), L"Netscape"},
                         Bad{Page::kIdCaFile, Utf8ToWide(notes), L"PEM"},
                         Bad{Page::kIdTotalTimeout, L"301", L"请求超时(秒)"},
                         Bad{Page::kIdConnectTimeout, L"0", L"连接超时(秒)"},
                         Bad{Page::kIdMaxRate, L"1001", L"每秒最多请求数"}}) {
    const std::wstring before = page.GetItemText(bad.id);
    page.SetItemText(bad.id, bad.text);
    boxes.shown.clear();
    Click(sheet, CVtPropertySheet::kIdApply);
    ASSERT_EQ(boxes.shown.size(), 1u) << WideToUtf8(bad.text);
    EXPECT_NE(boxes.shown[0].find(bad.named), std::wstring::npos) << WideToUtf8(boxes.shown[0]);
    EXPECT_EQ(sheet.activePage(), kPageIndex);
    EXPECT_EQ(setup->requestHeaders, "") << "nothing applied";
    page.SetItemText(bad.id, before);
  }
  page.SetItemText(Page::kIdUser, L"");
  boxes.shown.clear();
  Click(sheet, CVtPropertySheet::kIdApply);
  ASSERT_EQ(boxes.shown.size(), 1u) << "a password without a user";
  page.SetItemText(Page::kIdUser, L"bob");

  page.SetItemText(Page::kIdHeaders, L" X-Staging: yes \n\n");
  page.SetItemText(Page::kIdCookieFile, Utf8ToWide(cookies));
  page.SetItemText(Page::kIdProxy, L"socks5h://127.0.0.1:1080");
  page.SetItemText(Page::kIdMaxRate, L"5");
  Click(page, Page::kIdInsecure);
  boxes.shown.clear();
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(setup->credentials, "bob:s3cret");
  EXPECT_EQ(setup->rememberPassword, 0);
  EXPECT_EQ(setup->requestHeaders, "X-Staging: yes");
  EXPECT_EQ(setup->cookieFile, cookies);
  EXPECT_EQ(setup->proxy, "socks5h://127.0.0.1:1080");
  EXPECT_EQ(setup->insecure, 1);
  EXPECT_EQ(setup->maxRate, 5);
}

TEST_F(ConnectionPageTest, RestoreDefaultsConnectsAsBeforeAndTheIconIsDrawnInBothLooks) {
  setup->proxy = "http://p:3128";
  setup->insecure = 1;
  setup->totalTimeout = 90;
  for (int style : {0, 11}) {
    ApplyVisualStyle(style);
    CSetupPropSheet sheet(setup);
    sheet.SetActivePage(kPageIndex);
    sheet.show();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.connectionPage().isVisible()) << style;
    QImage header = sheet.header()->grab().toImage();
    // The icon's golden lock is drawn at the header's left.
    int gold = 0;
    for (int y = 0; y < header.height(); ++y)
      for (int x = 0; x < std::min(header.width(), 80); ++x) {
        QColor c = header.pixelColor(x, y);
        gold += c.red() > 200 && c.green() > 140 && c.green() < 225 && c.blue() < 110;
      }
    EXPECT_GT(gold, 20) << style;
    EXPECT_FALSE(sheet.navigation()->item(kPageIndex)->icon().isNull()) << style;
    sheet.hide();
  }
  CSetupPropSheet sheet(setup);
  Click(sheet.connectionPage(), Page::kIdDefaults);
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_EQ(setup->proxy, "");
  EXPECT_EQ(setup->insecure, 0);
  EXPECT_EQ(setup->totalTimeout, 10);
  EXPECT_EQ(setup->connectTimeout, 10);
}
