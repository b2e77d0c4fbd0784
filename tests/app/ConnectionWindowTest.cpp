// The window before a crawl with connection settings: the password asked for when none is
// kept, the question before a crawl that accepts any certificate, refused settings said.
#include <gtest/gtest.h>

#include <mutex>

#include "AppTestSupport.h"
#include "app/CDlgPassword.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"

namespace {

class ConnectionWindowTest : public WindowTest {
 protected:
  ~ConnectionWindowTest() override { CDlgPassword::SetRunHook(nullptr); }
};

// A page only alice with her password may read.
void ServeStaging(LoopbackServer& server, std::vector<std::string>& authorizations, std::mutex& lock) {
  server.server().Get(R"(/.*)", [&](const httplib::Request& req, httplib::Response& res) {
    {
      std::lock_guard<std::mutex> hold(lock);
      authorizations.push_back(req.get_header_value("Authorization"));
    }
    if (req.get_header_value("Authorization") != "Basic YWxpY2U6b3Blbg==") {  // alice:open
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"staging\"");
      return;
    }
    res.set_content("<html><body>ok</body></html>", "text/html");
  });
}

}  // namespace

TEST_F(ConnectionWindowTest, ThePasswordIsAskedWhenTheCrawlStartsKeptInMemoryAndStoredOnlyWhenRemembered) {
  std::vector<std::string> authorizations;
  std::mutex lock;
  LoopbackServer server;
  ServeStaging(server, authorizations, lock);
  ASSERT_TRUE(server.Start());
  Window().setup().credentials = "alice";
  std::vector<std::wstring> prompts;
  bool remember = false;
  int answer = CPlatformDialog::kIdCancel;
  CDlgPassword::SetRunHook([&](CDlgPassword& dialog) {
    prompts.push_back(dialog.GetItemText(CDlgPassword::kIdPrompt));
    dialog.SetItemText(CDlgPassword::kIdPassword, L"open");
    dialog.CheckItem(CDlgPassword::kIdRemember, remember);
    dialog.SendCommand(answer);
    return dialog.result();
  });

  // Cancel: no crawl starts.
  StartCrawl(server.origin());
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_NE(prompts[0].find(L"alice"), std::wstring::npos);
  EXPECT_NE(prompts[0].find(L"127.0.0.1"), std::wstring::npos);
  EXPECT_TRUE(Window().actionPage()->IsItemEnabled(CDlgSubAction::kIdStart));
  EXPECT_TRUE(authorizations.empty());

  // OK without 记住密码: the crawl gets in; the password stays in memory, never in the database.
  answer = CPlatformDialog::kIdOk;
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Window().crawl()->counters().crawledOk, 1);
  EXPECT_EQ(Window().setup().credentials, "alice:open");
  StartCrawl(server.origin());  // asked once a run
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(prompts.size(), 2u);
  std::map<std::string, std::string> pairs;
  Window().setup().SaveToMap(pairs);
  EXPECT_EQ(pairs.at(kKeyCredentials), "alice");

  // 记住密码 stores it at once.
  Window().setup().credentials = "alice";
  remember = true;
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  DestroyWindow();
  CLevelDb db;
  ASSERT_TRUE(db.Open(kSettingsDbPath).ok());
  std::string stored;
  ASSERT_TRUE(db.Get(kKeyCredentials, &stored).ok());
  EXPECT_EQ(stored, "alice:open");
}

TEST_F(ConnectionWindowTest, ACrawlWithoutVerificationIsAskedForAndABadConnectionSettingStartsNothing) {
  LoopbackServer server;
  ServeSite(server, 1);
  ASSERT_TRUE(server.Start());
  Window().setup().insecure = 1;
  answer_ = false;
  StartCrawl(server.origin());
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find(L"证书验证"), std::wstring::npos) << questions_[0];
  EXPECT_TRUE(server.requestLog().empty());

  answer_ = true;
  Window().setup().threadCount = 1;
  StartCrawl(server.origin());
  EXPECT_EQ(questions_.size(), 2u);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_NE(Window().GetItemText(CSitemapDlg::kIdCounters).find(L"证书验证已关闭"), std::wstring::npos)
      << Window().GetItemText(CSitemapDlg::kIdCounters);

  Window().setup().insecure = 0;
  Window().setup().cookieFile = (dir_.path() / "no-such-cookies.txt").string();
  const size_t before = server.requestLog().size();
  StartCrawl(server.origin());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"Cookie 文件"), std::wstring::npos) << messageBoxes_[0];
  EXPECT_EQ(server.requestLog().size(), before);
  EXPECT_TRUE(Window().actionPage()->IsItemEnabled(CDlgSubAction::kIdStart));
}
