#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/Status.h"
#include "crawl/CThreadAutoSave.h"
#include "output/AutoSave.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Waits (bounded) until the tick's save has ended.
void WaitForSave(const AutoSave& autoSave) {
  for (int i = 0; i < 1000 && autoSave.InFlight(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_FALSE(autoSave.InFlight());
}

// Auto-save on, every three minutes, gzip-compressed, beside the program.
AutoSaveOptions Defaults() { return AutoSaveOptions{true, 180, "", true}; }

// The results of a crawl of host:port that fetched its root.
std::shared_ptr<CrawlResults> ResultsOf(const std::string& host, const std::string& port) {
  auto results = std::make_shared<CrawlResults>("2026-01-01");
  SiteOrigin origin{"http", host, port};
  results->AddPortion(MakePortion(origin, {PageResult{"/", PageOutcome::Status(200), ""}}), origin);
  return results;
}

}  // namespace

TEST(AutoSaveTest, TicksNameTheFilesAfterTheCrawledSiteAndWriteNothingBeforeACrawl) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  AutoSave autoSave;
  CThreadAutoSave controller;
  AutoSaveOptions setup = Defaults();
  autoSave.Tick(setup, std::make_shared<CrawlResults>(), controller);  // nothing crawled yet
  EXPECT_EQ(controller.state(), -1);
  EXPECT_TRUE(fs::is_empty("."));

  autoSave.Tick(setup, ResultsOf("site.test", ":8080"), controller);
  WaitForSave(autoSave);
  EXPECT_TRUE(fs::exists("site.test_8080_sitemap0.xml.gz"));
  autoSave.Tick(setup, ResultsOf("site.test", ""), controller);  // another port is another site
  WaitForSave(autoSave);
  EXPECT_TRUE(fs::exists("site.test_sitemap0.xml.gz"));
  EXPECT_NE(ReadFileBytes("site.test_sitemap0.xml.gz"), ReadFileBytes("site.test_8080_sitemap0.xml.gz"));

  setup.gzip = false;
  setup.path = "backup";
  autoSave.Tick(setup, ResultsOf("site.test", ""), controller);
  WaitForSave(autoSave);
  EXPECT_TRUE(fs::exists("backup_site.test_sitemap0.xml"));
  EXPECT_EQ(AutoSave::Prefix("saves/", "h"), "saves/h");
  EXPECT_EQ(AutoSave::Prefix("", "h"), "h");
}

TEST(AutoSaveTest, TicksDoNothingWhenOffOrWithAnIntervalBelowOneSecond) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  AutoSave autoSave;
  CThreadAutoSave controller;
  AutoSaveOptions setup = Defaults();
  setup.enabled = false;
  autoSave.Tick(setup, ResultsOf("h", ""), controller);
  setup.enabled = true;
  setup.intervalSeconds = 0;
  autoSave.Tick(setup, ResultsOf("h", ""), controller);
  EXPECT_FALSE(autoSave.InFlight());
  EXPECT_EQ(controller.state(), -1);
  EXPECT_TRUE(fs::is_empty("."));
}

TEST(AutoSaveTest, EachFinishedTickSaveLeavesItsOutcomeForItsOwnWindow) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  AutoSave autoSave;
  AutoSave otherWindow;
  CThreadAutoSave controller;
  AutoSaveOptions setup = Defaults();
  setup.path = "missing/";  // a folder that does not exist
  autoSave.Tick(setup, ResultsOf("h", ""), controller);
  WaitForSave(autoSave);
  AutoSaveReport failed = autoSave.LastReport();
  EXPECT_EQ(failed.sequence, 1u);
  EXPECT_EQ(failed.result.code, StatusCode::kFileOpen);
  EXPECT_EQ(failed.result.path, (fs::current_path() / "missing" / "h_sitemap0.xml.gz").string());
  EXPECT_EQ(failed.result.systemError, ENOENT);
  EXPECT_EQ(otherWindow.LastReport().sequence, 0u);

  setup.path = "";
  autoSave.Tick(setup, ResultsOf("h", ""), controller);
  WaitForSave(autoSave);
  AutoSaveReport good = autoSave.LastReport();
  EXPECT_EQ(good.sequence, 2u);
  EXPECT_TRUE(good.result.ok());
  EXPECT_TRUE(fs::exists("h_sitemap0.xml.gz"));
}

TEST(AutoSaveTest, ConcurrentSavesWhileAddingLeaveCompleteFilesOnly) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer("2026-01-01");
  std::atomic<bool> done{false};
  std::vector<std::thread> savers;
  for (int t = 0; t < 3; ++t) {
    savers.emplace_back([&, t] {
      while (!done.load()) writer.SaveAll("same", t % 2 == 0);
    });
  }
  for (int i = 0; i < 16000; ++i) writer.AddUrl("http://example.com/page/" + std::to_string(i));
  done.store(true);
  for (auto& s : savers) s.join();
  ASSERT_EQ(writer.documentCount(), 2u);
  EXPECT_TRUE(writer.SaveAll("same", false).ok());
  EXPECT_TRUE(writer.SaveAll("same", true).ok());
  for (const auto& entry : fs::directory_iterator(".")) {
    EXPECT_EQ(entry.path().extension(), entry.path().string().find(".gz") != std::string::npos ? ".gz" : ".xml")
        << entry.path();
  }
  std::string last;
  writer.PrintCurrent(last);
  std::string plain = ReadFileBytes("same_sitemap1.xml");
  std::string lf;
  for (char c : plain) if (c != '\r') lf += c;
  EXPECT_EQ(lf, last);
}
