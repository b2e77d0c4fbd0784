#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <map>
#include <memory>
#include <string>

#include "app/platform/WideText.h"
#include "app/platform/VisualStyle.h"
#include "app/settings/CSetupPropSheet.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"
#include "support/TempDir.h"
#include "render/PageRenderer.h"
#include "tests/app/settings/SheetTestSupport.h"
#include "common/Status.h"

namespace {

class RulesPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyVisualStyle(0);
    setup->ResetToDefaults();
  }
  void TearDown() override { ApplyVisualStyle(0); }

  std::shared_ptr<CSetupManager> setup = std::make_shared<CSetupManager>();
};

struct RulesShown {
  bool robots, lastmod, index;
  std::wstring interval, userAgent;
};

RulesShown Shown(CSetupRulesPage& page) {
  return {page.IsItemChecked(CSetupRulesPage::kIdObeyRobots), page.IsItemChecked(CSetupRulesPage::kIdLastmod),
          page.IsItemChecked(CSetupRulesPage::kIdIndex), page.GetItemText(CSetupRulesPage::kIdInterval),
          page.GetItemText(CSetupRulesPage::kIdUserAgent)};
}

void ExpectAllOff(CSetupRulesPage& page) {
  EXPECT_FALSE(page.IsItemChecked(CSetupRulesPage::kIdRender));
  EXPECT_FALSE(page.IsItemChecked(CSetupRulesPage::kIdAudit));
  RulesShown shown = Shown(page);
  EXPECT_FALSE(shown.robots);
  EXPECT_FALSE(shown.lastmod);
  EXPECT_FALSE(shown.index);
  EXPECT_EQ(shown.interval, L"0");
  EXPECT_EQ(shown.userAgent, L"");
}

}  // namespace

TEST_F(RulesPageTest, PageShowsTheSettingsAndOkStoresEveryControlWithoutThePageBeingShown) {
  setup->obeyRobots = 1;
  setup->minIntervalMs = 1500;
  setup->userAgent = WideToUtf8(L"VeltroBot/1.0 (网站地图)");
  setup->sitemapIndex = 1;
  CSetupPropSheet sheet(setup);
  CSetupRulesPage& page = sheet.rulesPage();
  EXPECT_EQ(page.windowTitle(), QStringLiteral("抓取规则"));
  RulesShown shown = Shown(page);
  EXPECT_TRUE(shown.robots);
  EXPECT_FALSE(shown.lastmod);
  EXPECT_TRUE(shown.index);
  EXPECT_EQ(shown.interval, L"1500");
  EXPECT_EQ(shown.userAgent, L"VeltroBot/1.0 (网站地图)");

  // The browser is installed wherever these tests run: the setting can be chosen, and says
  // what it costs.
  ASSERT_TRUE(PageRenderer::Available()) << "Chromium is not installed (scripts/setup.sh)";
  EXPECT_TRUE(page.IsItemEnabled(CSetupRulesPage::kIdRender));
  EXPECT_FALSE(page.IsItemChecked(CSetupRulesPage::kIdRender));
  EXPECT_NE(page.GetItemText(CSetupRulesPage::kIdRenderNote).find(L"Chromium"), std::wstring::npos);
  Click(page, CSetupRulesPage::kIdRender);      // on
  Click(page, CSetupRulesPage::kIdObeyRobots);  // off
  Click(page, CSetupRulesPage::kIdLastmod);     // on
  Click(page, CSetupRulesPage::kIdAudit);       // on
  page.SetItemText(CSetupRulesPage::kIdInterval, L"250");
  page.SetItemText(CSetupRulesPage::kIdUserAgent, L"  Spider 蜘蛛/2  ");
  EXPECT_EQ(setup->minIntervalMs, 1500);  // nothing changes before Apply or OK
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(setup->obeyRobots, 0);
  EXPECT_EQ(setup->lastmodFromHeader, 1);
  EXPECT_EQ(setup->sitemapIndex, 1);
  EXPECT_EQ(setup->minIntervalMs, 250);
  EXPECT_EQ(setup->userAgent, WideToUtf8(L"Spider 蜘蛛/2"));
  EXPECT_EQ(setup->renderScripts, 1);
  EXPECT_EQ(setup->auditSitemap, 1);
}

TEST_F(RulesPageTest, DefaultsAreAllOffAndRestoreDefaultsPutsThemBackIntoTheControlsOnly) {
  {
    CSetupPropSheet sheet(setup);
    ExpectAllOff(sheet.rulesPage());
    Click(sheet, CPlatformDialog::kIdOk);  // the defaults stored are the defaults
  }
  EXPECT_EQ(setup->obeyRobots, 0);
  EXPECT_EQ(setup->minIntervalMs, 0);
  EXPECT_EQ(setup->userAgent, "");
  EXPECT_EQ(setup->lastmodFromHeader, 0);
  EXPECT_EQ(setup->sitemapIndex, 0);

  setup->obeyRobots = 1;
  setup->minIntervalMs = 900;
  setup->userAgent = "Bot";
  setup->lastmodFromHeader = 1;
  setup->sitemapIndex = 1;
  setup->renderScripts = 1;
  CSetupPropSheet sheet(setup);
  CSetupRulesPage& page = sheet.rulesPage();
  EXPECT_TRUE(page.IsItemChecked(CSetupRulesPage::kIdRender));
  Click(page, CSetupRulesPage::kIdDefaults);
  EXPECT_FALSE(page.IsItemChecked(CSetupRulesPage::kIdRender));
  ExpectAllOff(page);
  EXPECT_EQ(setup->minIntervalMs, 900);
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_FALSE(sheet.ended());
  EXPECT_EQ(setup->obeyRobots, 0);
  EXPECT_EQ(setup->minIntervalMs, 0);
  EXPECT_EQ(setup->userAgent, "");
  EXPECT_EQ(setup->lastmodFromHeader, 0);
  EXPECT_EQ(setup->sitemapIndex, 0);
  EXPECT_EQ(setup->renderScripts, 0);
}

TEST_F(RulesPageTest, IntervalTakesDigitsOnlyAndIsRefusedNotCutAboveOneMinute) {
  setup->minIntervalMs = 40;
  MessageBoxRecorder boxes;
  CSetupPropSheet sheet(setup);
  CSetupRulesPage& page = sheet.rulesPage();
  auto* edit = page.ControlAs<QLineEdit>(CSetupRulesPage::kIdInterval);
  ASSERT_NE(edit, nullptr);
  edit->clear();
  QTest::keyClicks(edit, QStringLiteral("1a-2.5"));
  EXPECT_EQ(edit->text(), QStringLiteral("125"));
  const std::pair<const wchar_t*, int32_t> cases[] = {{L"12345", 12345}, {L"60000", 60000}, {L" 7 ", 7}, {L"0", 0}};
  for (const auto& [text, stored] : cases) {
    page.SetItemText(CSetupRulesPage::kIdInterval, text);
    Click(sheet, CVtPropertySheet::kIdApply);
    EXPECT_EQ(setup->minIntervalMs, stored) << QString::fromWCharArray(text).toStdString();
  }
  EXPECT_TRUE(boxes.shown.empty());
  page.SetItemText(CSetupRulesPage::kIdInterval, L"60001");
  Click(sheet, CPlatformDialog::kIdOk);
  EXPECT_FALSE(sheet.ended());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], L"请求最小间隔(毫秒)应为0到60000之间的整数。");
  EXPECT_EQ(setup->minIntervalMs, 0);
  setup->minIntervalMs = 70000;  // out of range in the settings: shown as the largest
  page.LoadControls();
  EXPECT_EQ(page.GetItemText(CSetupRulesPage::kIdInterval), L"60000");
}

TEST_F(RulesPageTest, UserAgentIsStoredWithoutControlCharactersAndInUtf8) {
  CSetupPropSheet sheet(setup);
  CSetupRulesPage& page = sheet.rulesPage();
  page.SetItemText(CSetupRulesPage::kIdUserAgent, L"Bot/1\r\nX-Injected: 1");
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_EQ(setup->userAgent.find_first_of("\r\n"), std::string::npos) << setup->userAgent;
  EXPECT_EQ(setup->userAgent.rfind("Bot/1", 0), 0u);
  page.SetItemText(CSetupRulesPage::kIdUserAgent, L"Bot \U0001F600");
  Click(sheet, CVtPropertySheet::kIdApply);
  EXPECT_EQ(setup->userAgent, "Bot \xF0\x9F\x98\x80");
  auto* edit = page.ControlAs<QLineEdit>(CSetupRulesPage::kIdUserAgent);
  EXPECT_EQ(edit->maxLength(), 256);
}

TEST_F(RulesPageTest, DatabaseFromBeforeThePageOpensWithTheRulesOffAndGainsThemAtTheNextSave) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  {
    // What the program stored before the crawl rules existed: the ten original keys.
    CLevelDb old;
    ASSERT_TRUE(old.Open(kSettingsDbPath).ok());
    CSetupManager before;
    before.ResetToDefaults();
    before.maxDepth = 9;
    before.autoSaveInterval = 300;
    std::map<std::string, std::string> pairs;
    before.SaveToMap(pairs);
    for (const char* key : {kKeyObeyRobots, kKeyMinIntervalMs, kKeyUserAgent, kKeyLastmodFromHeader, kKeySitemapIndex,
                            kKeyRenderScripts, kKeySitemapCanonical, kKeySitemapHreflang, kKeySitemapChangefreq, kKeySitemapPriority,
                            kKeyRemoveParams, kKeyRemoveAllParams, kKeyKeepParams, kKeySkipPatterns, kKeyMaxPages,
                            kKeyCredentials, kKeyRememberPassword, kKeyRequestHeaders, kKeyCookieFile, kKeyProxy,
                            kKeyNoProxy, kKeyCaFile, kKeyInsecure, kKeyMaxRate, kKeyAuditSitemap,
                            kKeyBaiduSite, kKeyBaiduToken, kKeyBaiduEndpoint, kKeyIndexNowKey, kKeyIndexNowEndpoint,
                            kKeyHtmlSitemap, kKeyDeadLinks, kKeyDeadLinksAll, kKeySitemapLastmodFrom, kKeySitemapImages})
      pairs.erase(key);
    ASSERT_EQ(pairs.size(), 10u);
    ASSERT_TRUE(old.WriteAll(pairs).ok());
  }
  CLevelDb db;
  ASSERT_TRUE(LoadSettings(setup.get(), &db).ok());
  {
    CSetupPropSheet sheet(setup);
    EXPECT_EQ(sheet.runPage().GetItemText(CSetupRunPage::kIdDepth), L"9");
    ExpectAllOff(sheet.rulesPage());
    // The sitemap content page opens with today's sitemap.
    EXPECT_FALSE(sheet.sitemapPage().IsItemChecked(CSetupSitemapPage::kIdCanonical));
    EXPECT_EQ(sheet.sitemapPage().GetItemText(CSetupSitemapPage::kIdChangefreq), L"daily");
    EXPECT_EQ(sheet.sitemapPage().GetItemText(CSetupSitemapPage::kIdPriority), L"0.5");
    EXPECT_EQ(sheet.sitemapPage().GetItemText(CSetupSitemapPage::kIdLastmodFrom), L"start");
    sheet.SetActivePage(3);
    Click(sheet.rulesPage(), CSetupRulesPage::kIdObeyRobots);
    sheet.rulesPage().SetItemText(CSetupRulesPage::kIdInterval, L"2000");
    Click(sheet, CPlatformDialog::kIdOk);
  }
  SaveSettings(setup.get(), &db);
  std::map<std::string, std::string> stored;
  db.ReadAll(stored);
  EXPECT_EQ(stored[kKeyObeyRobots], "1");
  EXPECT_EQ(stored[kKeyMinIntervalMs], "2000");
  EXPECT_EQ(stored[kKeyUserAgent], "");
  EXPECT_EQ(stored[kKeyLastmodFromHeader], "0");
  EXPECT_EQ(stored[kKeySitemapIndex], "0");
  EXPECT_EQ(stored[kKeyRenderScripts], "0");
  EXPECT_EQ(stored[kKeySitemapChangefreq], "daily");
  EXPECT_EQ(stored[kKeySitemapPriority], "0.5");
  EXPECT_EQ(stored[kKeyMaxDepth], "9");
  EXPECT_EQ(stored[kKeyAutoSaveInterval], "300");
}

TEST_F(RulesPageTest, PageIsDrawnWithItsHeaderInBothLooks) {
  for (int style : {0, 11}) {
    ApplyVisualStyle(style);
    CSetupPropSheet sheet(setup);
    sheet.SetActivePage(3);
    sheet.show();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.rulesPage().isVisible()) << style;
    EXPECT_FALSE(sheet.runPage().isVisible()) << style;
    QImage header = sheet.header()->grab().toImage();
    // The page's icon is drawn at the header's left: its robot's blue head is there.
    int blue = 0;
    for (int y = 0; y < header.height(); ++y)
      for (int x = 0; x < std::min(header.width(), 80); ++x) {
        QColor c = header.pixelColor(x, y);
        blue += c.blue() > 150 && c.red() < 120 && c.green() > 80 && c.green() < 200;
      }
    EXPECT_GT(blue, 20) << style;
    sheet.hide();
  }
}
