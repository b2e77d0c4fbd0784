#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "AppTestSupport.h"
#include "app/CDlgSubReportFail.h"
#include "app/platform/CReportList.h"
#include "app/platform/WideText.h"
#include "support/SiteFiles.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"

namespace {

class FailureNamingWindowTest : public WindowTest {};

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

// The message, the failure row and the failure file all say where the redirect pointed; the
// bar of a crawl that fetched nothing stays empty, also after the status timer's last look.
TEST_F(FailureNamingWindowTest, ARedirectToAnotherSiteNamesItsTargetAndLeavesTheBarEmpty) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string target = "http://127.0.0.2:1/elsewhere.html";
  site.Set("/", Resource{301, "text/html", "", target});
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(Contains(messageBoxes_[0], L"没有从网站取得任何网页：" + Utf8ToWide(site.origin()))) << messageBoxes_[0];
  EXPECT_TRUE(Contains(messageBoxes_[0], L"原因（301）：永久重定向，指向 " + Utf8ToWide(target))) << messageBoxes_[0];
  CReportList* rows = Window().failPage()->list();
  ASSERT_EQ(rows->RowCount(), 1);
  EXPECT_EQ(rows->ItemText(0, 3), L"永久重定向，指向 " + Utf8ToWide(target));

  ASSERT_TRUE(Window().failPage()->Save());
  const std::string tsv = ReadFileBytes(SiteFiles(site.origin()) + "_failed.tsv");
  EXPECT_EQ(tsv, "/\t301\t永久重定向，指向 " + target + "\t\n");

  QTest::qWait(2200);  // the status timer's refresh after the end
  EXPECT_EQ(Window().actionPage()->progress(), 0);
}

TEST_F(FailureNamingWindowTest, AnHttpsTargetThatFailsItsCertificateIsNamedWithTheAddressItCameFrom) {
  TempDir certs;
  StaticSite secure(certs.str());
  if (!secure.Start()) GTEST_SKIP() << "no self-signed HTTPS server could be started";
  secure.Set("/", Resource{200, "text/html", PageLinking({}), ""});
  StaticSite plain;
  ASSERT_TRUE(plain.Start());
  plain.Set("/", Resource{301, "text/html", "", secure.origin() + "/"});
  StartCrawl(plain.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(Contains(messageBoxes_[0], L"无法连接网站 " + Utf8ToWide(secure.origin()) + L"/（由 " +
                                             Utf8ToWide(plain.origin()) + L" 重定向而来）"))
      << messageBoxes_[0];
  EXPECT_TRUE(Contains(messageBoxes_[0], L"原因（curl 60）")) << messageBoxes_[0];
  EXPECT_EQ(Window().actionPage()->progress(), 0);
}

}  // namespace
