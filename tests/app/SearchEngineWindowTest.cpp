// The sitemap tab's 提交到搜索引擎 and the settings page behind it, offscreen, against a
// stand-in for Baidu's endpoint on loopback.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <mutex>

#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubReportFail.h"
#include "app/platform/WideText.h"
#include "app/settings/CSetupPropSheet.h"
#include "settings/CSetupManager.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kToken = "WindowTok3nSecret";

class SearchEngineWindowTest : public WindowTest {
 protected:
  SearchEngineWindowTest() {
    ServeSite(site_, 2);
    site_.server().Post("/urls", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> guard(lock_);
        bodies_.push_back(req.body);
      }
      res.set_content(R"({"remain":497,"success":3})", "application/json");
    });
    EXPECT_TRUE(site_.Start());
  }

  size_t pushes() {
    std::lock_guard<std::mutex> guard(lock_);
    return bodies_.size();
  }

  void PressPush() { qobject_cast<QPushButton*>(Window().googlePage()->Control(CDlgSubGoogle::kIdPush))->click(); }

  // Until the push's message has come (bounded).
  bool WaitForPushMessage(size_t before) {
    for (int i = 0; i < 1000 && messageBoxes_.size() == before; ++i) QTest::qWait(10);
    return messageBoxes_.size() > before;
  }

  LoopbackServer site_;
  std::mutex lock_;
  std::vector<std::string> bodies_;
};

TEST_F(SearchEngineWindowTest, ThePushButtonAsksOnceAndSendsOnlyAfterYes) {
  CSetupManager& setup = Window().setup();
  setup.baiduSite = site_.origin();
  setup.baiduToken = kToken;
  setup.baiduEndpoint = site_.origin() + "/urls";
  StartCrawl(site_.origin());
  ASSERT_TRUE(WaitUntilIdle());

  answer_ = false;
  PressPush();
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find(L"3 个网址"), std::wstring::npos) << WideToUtf8(questions_[0]);
  EXPECT_NE(questions_[0].find(L"百度普通收录"), std::wstring::npos);
  EXPECT_EQ(questions_[0].find(L"IndexNow"), std::wstring::npos);  // no key set: not offered
  QTest::qWait(50);
  EXPECT_EQ(pushes(), 0u);
  EXPECT_TRUE(messageBoxes_.empty());

  answer_ = true;
  PressPush();
  EXPECT_EQ(questions_.size(), 2u);
  ASSERT_TRUE(WaitForPushMessage(0));
  EXPECT_EQ(pushes(), 1u);
  const std::string message = WideToUtf8(messageBoxes_.back());
  EXPECT_NE(message.find("接受 3 条"), std::string::npos) << message;
  EXPECT_NE(message.find("剩余配额 497"), std::string::npos) << message;
  const std::string status = WideToUtf8(Window().GetItemText(CSitemapDlg::kIdSaveStatus));
  EXPECT_NE(status.find("百度接受 3 条"), std::string::npos) << status;
  EXPECT_TRUE(Window().googlePage()->Control(CDlgSubGoogle::kIdPush)->isEnabled());

  // Saved files and the crawl's leftovers hold no token; the settings database alone keeps it.
  ASSERT_TRUE(Window().googlePage()->Save());
  for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
    if (!entry.is_regular_file() || entry.path().string().find("db/sitemap/setup") != std::string::npos) continue;
    EXPECT_EQ(ReadFileBytes(entry.path()).find(kToken), std::string::npos) << entry.path();
  }
}

TEST_F(SearchEngineWindowTest, WithoutAnEngineSetUpTheButtonSaysWhereToSetOneAndAsksNothing) {
  StartCrawl(site_.origin());
  ASSERT_TRUE(WaitUntilIdle());
  PressPush();
  EXPECT_TRUE(questions_.empty());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"提交到搜索引擎"), std::wstring::npos);
}

TEST_F(SearchEngineWindowTest, SaveAlsoWritesTheHtmlSitemapAndTheDeadLinksWhenTheSettingsAskForThem) {
  CSetupManager& setup = Window().setup();
  setup.htmlSitemap = 1;
  setup.deadLinks = 1;
  StartCrawl(site_.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_TRUE(Window().googlePage()->Save());
  ASSERT_TRUE(Window().failPage()->Save());
  const std::string site = SiteFiles(site_.origin());
  const std::string html = ReadFileBytes(dir_.path() / (site + "_sitemap.html"));
  EXPECT_NE(html.find("<a href=\"" + site_.origin() + "/p1.html\">"), std::string::npos) << html;
  EXPECT_EQ(ReadFileBytes(dir_.path() / (site + "_deadlinks.txt")), site_.origin() + "/missing.html\n");
  EXPECT_TRUE(messageBoxes_.empty());
}

TEST(SearchEnginePageTest, TheTokenIsMaskedAndABadKeyIsRefused) {
  auto setup = std::make_shared<CSetupManager>();
  setup->baiduToken = kToken;
  CSetupPropSheet sheet(setup);
  CSetupPushPage& page = sheet.pushPage();
  auto* token = page.ControlAs<QLineEdit>(CSetupPushPage::kIdBaiduToken);
  ASSERT_NE(token, nullptr);
  EXPECT_EQ(token->echoMode(), QLineEdit::Password);
  EXPECT_EQ(token->text().toStdString(), kToken);
  CVtPropertyPage::RefusedEntry refused;
  EXPECT_FALSE(page.FindRefusedEntry(refused));
  page.SetItemText(CSetupPushPage::kIdIndexNowKey, L"not a key!");
  EXPECT_TRUE(page.FindRefusedEntry(refused));
  EXPECT_EQ(refused.controlId, CSetupPushPage::kIdIndexNowKey);
  page.SetItemText(CSetupPushPage::kIdIndexNowKey, L"0123456789abcdef");
  page.CheckItem(CSetupPushPage::kIdDeadLinks, true);
  ASSERT_FALSE(page.FindRefusedEntry(refused));
  page.Apply();
  EXPECT_EQ(setup->indexNowKey, "0123456789abcdef");
  EXPECT_EQ(setup->deadLinks, 1);
}

}  // namespace
