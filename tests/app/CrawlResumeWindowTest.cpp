// Start on an address whose last crawl was stopped: the window asks whether to go on.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <chrono>
#include <thread>

#include "AppTestSupport.h"
#include "app/CDlgSubAction.h"
#include "app/CDlgSubYahoo.h"
#include "app/CrawlJournalChoice.h"
#include "app/platform/CReportList.h"
#include "common/SystemInfo.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "settings/CSetupManager.h"
#include "common/Status.h"

namespace fs = std::filesystem;

class CrawlResumeWindowTest : public WindowTest {
 protected:
  static constexpr int kPages = 200;

  void SetUp() override {
    ServeSite(server_, kPages, 3);
    ASSERT_TRUE(server_.Start());
  }

  // Starts a crawl and stops it once some pages are in.
  void StartAndStop(const std::string& address = "", size_t pages = 40) {
    StartCrawl(address.empty() ? server_.origin() : address);
    QElapsedTimer t;
    t.start();
    while (Window().crawl()->results()->okCount() < pages && t.elapsed() < 30000) QTest::qWait(5);
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

// A journal that cannot be begun (a plain file where its folder goes): the crawl runs to its
// end, and the counters' line says it could not be resumed if cut off, with leveldb's words.
TEST_F(CrawlResumeWindowTest, AJournalThatCannotBeBegunIsSaidOnTheStatusLineAndTheCrawlRunsToItsEnd) {
  fs::create_directories(Journal().parent_path());
  std::ofstream(Journal()) << "not a journal";
  StartCrawl(server_.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ExpectEveryPageOnce();
  const std::wstring line = StatusLine(CSitemapDlg::kIdCounters);
  const size_t said = line.find(L"无法建立爬行记录，中断后不能继续（IO error: ");
  EXPECT_NE(said, std::wstring::npos) << QString::fromStdWString(line).toStdString();
  EXPECT_NE(line.find(L"Not a directory", said), std::wstring::npos) << QString::fromStdWString(line).toStdString();
}

namespace {

// "/" links /p1.html../p150.html and /missing.html; each /pN.html links /sub/N.html, which
// links /gone/N.html (404) when N ends in 0 or 5. /pN.html with N % 6 == 3 names its
// predecessor as canonical, with N % 6 == 4 names /only/N.html (reached by it alone); even
// ones name language alternates.
void ServeContentSite(LoopbackServer& server) {
  server.server().Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
    const std::string& path = req.path;
    std::string head, body;
    int n = 0;
    if (path == "/") {
      for (int i = 1; i <= 150; ++i) body += "<a href=\"/p" + std::to_string(i) + ".html\">p</a>";
      body += "<a href=\"/missing.html\">m</a>";
    } else if (std::sscanf(path.c_str(), "/p%d.html", &n) == 1 && n >= 1 && n <= 150) {
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      if (n % 6 == 3) head += "<link rel=\"canonical\" href=\"/p" + std::to_string(n - 1) + ".html\">";
      if (n % 6 == 4) head += "<link rel=\"canonical\" href=\"/only/" + std::to_string(n) + ".html\">";
      if (n % 2 == 0) {
        head += "<link rel=\"alternate\" hreflang=\"en\" href=\"" + path + "\">"
                "<link rel=\"alternate\" hreflang=\"de\" href=\"/de" + path + "\">";
      }
      body += "<a href=\"/sub/" + std::to_string(n) + ".html\">s</a>";
    } else if (std::sscanf(path.c_str(), "/sub/%d.html", &n) == 1 && n >= 1 && n <= 150) {
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      if (n % 5 == 0) body += "<a href=\"/gone/" + std::to_string(n) + ".html\">g</a>";
    } else if (!(std::sscanf(path.c_str(), "/only/%d.html", &n) == 1 && n % 6 == 4)) {
      res.status = 404;
      res.set_content("<html><body>missing</body></html>", "text/html");
      return;
    }
    res.set_content("<html><head><title>t</title>" + head + "</head><body>" + body + "</body></html>", "text/html");
  });
}

// What the window's record of a crawl holds, each part sorted: the sitemap's entries, the
// fetched addresses, the failures with the page each was found on.
struct Written {
  std::vector<std::string> entries;
  std::vector<std::string> fetched;
  std::vector<std::string> failures;
  bool operator==(const Written&) const = default;
};

Written WrittenBy(CrawlResults& results) {
  Written w;
  std::string text;
  EXPECT_TRUE(results.sitemap()->PrintCurrent(text).ok());
  for (size_t open = text.find("<url>"); open != std::string::npos; open = text.find("<url>", open + 1)) {
    const size_t close = text.find("</url>", open);
    if (close == std::string::npos) break;
    w.entries.push_back(text.substr(open, close + 6 - open));
  }
  w.fetched = results.FetchedAddresses();
  for (const FailedPage& f : results.Failures()) w.failures.push_back(f.path + " " + f.outcome.Text() + " " + f.foundOn);
  for (auto* part : {&w.entries, &w.fetched, &w.failures}) std::sort(part->begin(), part->end());
  return w;
}

}  // namespace

TEST_F(CrawlResumeWindowTest, StoppedAndResumedWithYesTheSitemapKeepsItsContentSettingsAsAnUnbrokenCrawl) {
  LoopbackServer site(24);
  ServeContentSite(site);
  ASSERT_TRUE(site.Start());
  CSetupManager& setup = Window().setup();
  setup.sitemapCanonical = 1;
  setup.sitemapHreflang = 1;
  setup.sitemapChangefreq = "weekly";
  setup.sitemapPriority = "1.0,0.8,0.6";
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  const Written unbroken = WrittenBy(*Window().crawl()->results());
  ASSERT_EQ(unbroken.fetched.size(), 326u);
  ASSERT_EQ(unbroken.entries.size(), 276u);  // 50 pages name another as canonical
  ASSERT_EQ(unbroken.failures.size(), 31u);

  StartAndStop(site.origin(), 100);
  ASSERT_TRUE(fs::exists(dir_.path() / WindowJournalPath(site.origin())));
  // The settings change meanwhile: going on keeps those the crawl was started with.
  setup.sitemapCanonical = 0;
  setup.sitemapHreflang = 0;
  setup.sitemapChangefreq = "daily";
  setup.sitemapPriority = "0.5";
  answer_ = true;
  StartCrawl(site.origin());
  ASSERT_TRUE(WaitUntilIdle());
  ASSERT_EQ(questions_.size(), 1u);
  const Written resumed = WrittenBy(*Window().crawl()->results());
  EXPECT_EQ(resumed.entries, unbroken.entries);
  EXPECT_EQ(resumed.fetched, unbroken.fetched);
  EXPECT_EQ(resumed.failures, unbroken.failures);
  EXPECT_TRUE(resumed == unbroken);
  EXPECT_NE(resumed.entries.front().find("<changefreq>weekly</changefreq>"), std::string::npos);
  EXPECT_TRUE(std::any_of(resumed.entries.begin(), resumed.entries.end(),
                          [](const std::string& e) { return e.find("hreflang=\"de\"") != std::string::npos; }));
  EXPECT_TRUE(messageBoxes_.empty());
}

// The elapsed time counts from the answer: the question may stay open a long while.
TEST_F(CrawlResumeWindowTest, TheElapsedTimeStartsWhenTheResumeQuestionIsAnswered) {
  StartAndStop();
  uint32_t answered = 0;
  SetQuestionHook([&answered](const std::wstring&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    answered = GetTickCount32();
    return false;
  });
  const uint32_t pressed = GetTickCount32();
  StartCrawl(server_.origin());
  ASSERT_NE(answered, 0u);
  EXPECT_GE(Window().startTick() - pressed, answered - pressed);
  ASSERT_TRUE(WaitUntilIdle());
}
