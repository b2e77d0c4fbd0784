// Start on an address whose last crawl was stopped: the window asks whether to go on.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <filesystem>
#include <set>

#include "AppTestSupport.h"
#include "app/CDlgSubAction.h"
#include "app/CDlgSubYahoo.h"
#include "app/CrawlJournalChoice.h"
#include "app/platform/CReportList.h"
#include "output/CrawlResults.h"

namespace fs = std::filesystem;

class CrawlResumeWindowTest : public WindowTest {
 protected:
  static constexpr int kPages = 200;

  void SetUp() override {
    ServeSite(server_, kPages, 3);
    ASSERT_TRUE(server_.Start());
  }

  // Starts a crawl and stops it once some pages are in.
  void StartAndStop() {
    StartCrawl(server_.origin());
    QElapsedTimer t;
    t.start();
    while (Window().crawl()->results()->okCount() < 40 && t.elapsed() < 30000) QTest::qWait(5);
    Window().actionPage()->ControlAs<QPushButton>(CDlgSubAction::kIdStop)->click();
    ASSERT_TRUE(WaitUntilIdle());
  }

  // "/" and its pages each once in the crawl list, the URL list and the record.
  void ExpectEveryPageOnce() {
    CReportList& list = *Window().actionPage()->list();
    std::set<std::wstring> rows;
    for (int r = 0; r < list.RowCount(); ++r) rows.insert(list.ItemText(r, 1));
    EXPECT_EQ(list.RowCount(), kPages + 1);
    EXPECT_EQ(rows.size(), static_cast<size_t>(kPages + 1));
    std::wstring urls = Window().yahooPage()->ListText();
    size_t lines = 0;
    for (size_t at = urls.find(L"http"); at != std::wstring::npos; at = urls.find(L"http", at + 1)) ++lines;
    EXPECT_EQ(lines, static_cast<size_t>(kPages + 1));
    EXPECT_EQ(Window().crawl()->results()->okCount(), static_cast<size_t>(kPages + 1));
    EXPECT_EQ(Window().crawl()->results()->failureCount(), 1u);  // /missing.html
  }

  fs::path Journal() const { return dir_.path() / WindowJournalPath(server_.origin()); }

  LoopbackServer server_;
};

TEST_F(CrawlResumeWindowTest, YesGoesOnFromTheJournalNoStartsAfreshAndAnEndedCrawlLeavesNoJournal) {
  StartAndStop();
  EXPECT_TRUE(questions_.empty());
  ASSERT_TRUE(fs::exists(Journal()));
  const size_t firstRun = server_.requestLog().size();

  // Yes: the pages already done come from the journal, only the rest is fetched.
  answer_ = true;
  StartCrawl(server_.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find(L"继续上次未完成的爬行吗？"), std::wstring::npos);
  EXPECT_NE(questions_[0].find(L"已完成"), std::wstring::npos);
  ExpectEveryPageOnce();
  const size_t resumed = server_.requestLog().size() - firstRun;
  EXPECT_LT(resumed, static_cast<size_t>(kPages + 2 - 30));
  std::set<std::string> seen;
  for (const std::string& path : server_.requestLog()) seen.insert(path);
  EXPECT_EQ(seen.size(), static_cast<size_t>(kPages + 2));
  EXPECT_FALSE(fs::exists(Journal()));

  // No: the journal goes and every page is fetched again.
  StartAndStop();
  answer_ = false;
  const size_t before = server_.requestLog().size();
  StartCrawl(server_.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_EQ(questions_.size(), 2u);
  ExpectEveryPageOnce();
  EXPECT_EQ(server_.requestLog().size() - before, static_cast<size_t>(kPages + 2));
  EXPECT_FALSE(fs::exists(Journal()));
  EXPECT_TRUE(messageBoxes_.empty());
}

TEST_F(CrawlResumeWindowTest, AJournalThatCannotBeUsedIsNamedInAMessageAndTheCrawlStartsAfresh) {
  StartAndStop();
  for (const auto& entry : fs::directory_iterator(Journal())) fs::resize_file(entry.path(), 3);
  const size_t before = server_.requestLog().size();
  StartCrawl(server_.origin());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(questions_.empty());
  ASSERT_EQ(messageBoxes_.size(), 1u);
  EXPECT_NE(messageBoxes_[0].find(L"已损坏"), std::wstring::npos) << messageBoxes_[0];
  EXPECT_EQ(server_.requestLog().size() - before, static_cast<size_t>(kPages + 2));
  ExpectEveryPageOnce();
}
