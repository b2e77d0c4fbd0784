#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <filesystem>
#include <fstream>

#include "app/platform/WideText.h"
#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubReportFail.h"
#include "app/CDlgSubYahoo.h"
#include "app/platform/CReportList.h"
#include "output/FailureReport.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"

namespace fs = std::filesystem;

namespace {

class SaveFailureTest : public WindowTest {
 protected:
  void ClickSitemapSave() { Window().googlePage()->ControlAs<QPushButton>(CDlgSubGoogle::kIdSave)->click(); }
  void ClickUrlListSave() { Window().yahooPage()->ControlAs<QPushButton>(CDlgSubYahoo::kIdSave)->click(); }

  // Runs the event loop until the auto-save line's text satisfies done (bounded).
  template <typename Done>
  bool WaitForSaveStatus(Done done, int limitMs = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done(Window().saveStatusText()) && t.elapsed() < limitMs) QTest::qWait(20);
    return done(Window().saveStatusText());
  }
};

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

TEST_F(SaveFailureTest, ASitemapSaveWithNothingCrawledOrThatFailsSaysWhyInABox) {
  ClickSitemapSave();
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(Contains(messageBoxes_[0], L"还没有可以保存的网站地图")) << messageBoxes_[0];
  for (const auto& entry : fs::directory_iterator("."))  // no empty sitemap written over anything
    EXPECT_EQ(entry.path().filename().string().find("sitemap"), std::string::npos) << entry.path();

  LoopbackServer server;
  ServeSite(server, 1);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  const std::string file = SiteFiles(server.origin()) + "_sitemap0.xml.gz";
  fs::create_directory(file);
  ClickSitemapSave();
  ASSERT_EQ(messageBoxes_.size(), 2u);
  EXPECT_TRUE(Contains(messageBoxes_[1], (fs::current_path() / file).wstring())) << messageBoxes_[1];
  EXPECT_TRUE(Contains(messageBoxes_[1], L"同名的文件夹已经存在")) << messageBoxes_[1];
  EXPECT_TRUE(fs::is_directory(file));

  fs::remove(file);
  ClickSitemapSave();
  EXPECT_EQ(messageBoxes_.size(), 2u);  // a good save says nothing
  EXPECT_TRUE(fs::is_regular_file(file));
}

TEST_F(SaveFailureTest, AUrlListSaveThatFailsShowsABoxNamingTheFileAndTheReason) {
  const fs::path file = dir_.path() / "no such folder" / "urls.txt";
  SetSaveFileHook([file] { return std::optional<QString>(QString::fromStdString(file.string())); });
  Window().yahooPage()->AppendAddresses({"http://a.example/"});  // an empty list is not saved at all
  ClickUrlListSave();
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(Contains(messageBoxes_[0], file.wstring())) << messageBoxes_[0];
  EXPECT_TRUE(Contains(messageBoxes_[0], L"文件夹不存在")) << messageBoxes_[0];
  EXPECT_FALSE(fs::exists(file.parent_path()));

  const fs::path good = dir_.path() / "urls.txt";
  SetSaveFileHook([good] { return std::optional<QString>(QString::fromStdString(good.string())); });
  ClickUrlListSave();
  EXPECT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(fs::exists(good));
}

// Auto-save fails every tick into a folder that does not exist: one line in the status area,
// never a box, and the next good auto-save clears it.
TEST_F(SaveFailureTest, AFailedAutoSaveShowsOneStatusLineUntilTheNextGoodAutoSave) {
  ASSERT_TRUE(StoreAutoSaveEverySecond("missing/"));
  LoopbackServer server;
  ServeSite(server, 1);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  const std::string site = SiteFiles(server.origin());
  ASSERT_TRUE(WaitForSaveStatus([](const std::wstring& text) { return !text.empty(); }));
  const std::wstring line = Window().saveStatusText();
  EXPECT_TRUE(Contains(line, L"自动保存失败")) << line;
  EXPECT_TRUE(Contains(line, (fs::current_path() / "missing" / (site + "_sitemap0.xml.gz")).wstring())) << line;
  EXPECT_TRUE(Contains(line, L"文件夹不存在")) << line;
  EXPECT_EQ(Window().Control(CSitemapDlg::kIdSaveStatus)->toolTip().toStdWString(), line);
  QTest::qWait(2500);  // more failing ticks
  EXPECT_TRUE(messageBoxes_.empty());
  EXPECT_TRUE(Contains(Window().saveStatusText(), L"自动保存失败"));

  Window().setup().autoSavePath = "";
  ASSERT_TRUE(WaitForSaveStatus([](const std::wstring& text) { return text.empty(); }));
  EXPECT_EQ(Window().GetItemText(CSitemapDlg::kIdSaveStatus), L"");
  EXPECT_TRUE(fs::exists(site + "_sitemap0.xml.gz"));
  EXPECT_TRUE(messageBoxes_.empty());
  EXPECT_TRUE(Window().FinishBackgroundWork(std::chrono::milliseconds(10000)));
}

TEST_F(SaveFailureTest, TheCloseButtonShowsABoxWhenTheSettingsCannotBeWrittenAndStillCloses) {
  fs::create_directories("db/sitemap");
  { std::ofstream blocker("db/sitemap/setup"); blocker << "a file where the database folder should be"; }
  Window().ControlAs<QAbstractButton>(CSitemapDlg::kIdClose)->click();
  EXPECT_TRUE(Window().ended());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_TRUE(Contains(messageBoxes_[0], L"设置没有保存")) << messageBoxes_[0];
  EXPECT_TRUE(Contains(messageBoxes_[0], (fs::current_path() / "db/sitemap/setup").wstring())) << messageBoxes_[0];
}

TEST_F(SaveFailureTest, TheFailurePageShowsTransferFailuresWithTheirCodeAndDescription) {
  Window().failPage()->AppendFailures({{"/refused", PageOutcome::OfFetchResult(7), {}, {}},
                                       {"/empty", PageOutcome::OfFetchResult(-70), {}, {}},
                                       {"/gone", PageOutcome::Status(404), {}, {}}});
  CReportList& list = *Window().failPage()->list();
  ASSERT_EQ(list.RowCount(), 3);
  EXPECT_EQ(list.ItemText(0, 2), L"curl 7");
  for (int row = 0; row < 3; ++row) {
    std::string code = QString::fromStdWString(list.ItemText(row, 2)).toStdString();
    EXPECT_EQ(list.ItemText(row, 3), Utf8ToWide(FailureDescription(code))) << code;
    EXPECT_FALSE(list.ItemText(row, 3).empty()) << code;
  }
  EXPECT_TRUE(Contains(list.ItemText(0, 3), L"连接"));
}

}  // namespace
