#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/ResultCodes.h"
#include "crawl/CThreadAutoSave.h"
#include "output/AutoSave.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapLocks.h"
#include "settings/CSetupManager.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Waits (bounded) until the tick's save has ended.
void WaitForSave() {
  for (int i = 0; i < 1000 && AutoSaveInFlight(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_FALSE(AutoSaveInFlight());
}

CSetupManager Defaults() {
  CSetupManager setup;
  setup.ResetToDefaults();
  return setup;
}

}  // namespace

TEST(AutoSaveTest, TickWithDefaultsWritesGzipDocumentZeroBeforeAnyCrawl) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer;
  CThreadAutoSave controller(&AutoSaveThreadProc);
  CSetupManager setup = Defaults();
  AutoSaveTick(setup, writer, controller);
  WaitForSave();
  EXPECT_EQ(controller.state(), 1);
  EXPECT_TRUE(fs::exists("sitemap0.xml.gz"));

  setup.autoSaveGzip = 0;  // the next tick writes plain files; the gzip file stays
  AutoSaveTick(setup, writer, controller);
  WaitForSave();
  EXPECT_TRUE(fs::exists("sitemap0.xml"));
  EXPECT_TRUE(fs::exists("sitemap0.xml.gz"));
}

TEST(AutoSaveTest, TicksDoNothingWhenOffOrWithAnIntervalBelowOneSecond) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer;
  CThreadAutoSave controller(&AutoSaveThreadProc);
  CSetupManager setup = Defaults();
  setup.autoSaveEnabled = 0;
  AutoSaveTick(setup, writer, controller);
  setup.autoSaveEnabled = 1;
  setup.autoSaveInterval = 0;
  AutoSaveTick(setup, writer, controller);
  EXPECT_FALSE(AutoSaveInFlight());
  EXPECT_EQ(controller.state(), -1);
  EXPECT_TRUE(fs::is_empty("."));
  EXPECT_EQ(AutoSaveThreadProc(nullptr), rc::kMissing);
}

TEST(AutoSaveTest, TickWhileASaveRunsIsSkippedAndTheRunningSaveKeepsItsParameters) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer;
  writer.AddUrl("http://h/");
  CThreadAutoSave controller(&AutoSaveThreadProc);
  CSetupManager setup = Defaults();
  {
    std::lock_guard<std::mutex> busy(sitemapSaveLock);  // another save is writing
    setup.autoSavePath = "first";
    AutoSaveTick(setup, writer, controller);
    EXPECT_TRUE(AutoSaveInFlight());
    setup.autoSavePath = "second";
    AutoSaveTick(setup, writer, controller);  // skipped
  }
  WaitForSave();
  EXPECT_TRUE(fs::exists("first_sitemap0.xml.gz"));
  EXPECT_FALSE(fs::exists("second_sitemap0.xml.gz"));
  AutoSaveTick(setup, writer, controller);
  WaitForSave();
  EXPECT_TRUE(fs::exists("second_sitemap0.xml.gz"));
}

TEST(AutoSaveTest, EachFinishedTickSaveLeavesItsOutcomeForTheWindow) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSitemapXmlWriter writer;
  CThreadAutoSave controller(&AutoSaveThreadProc);
  CSetupManager setup = Defaults();
  const uint64_t before = LastAutoSaveReport().sequence;
  setup.autoSavePath = "missing/";  // a folder that does not exist
  AutoSaveTick(setup, writer, controller);
  WaitForSave();
  AutoSaveReport failed = LastAutoSaveReport();
  EXPECT_EQ(failed.sequence, before + 1);
  EXPECT_EQ(failed.result.code, rc::kFileOpen);
  EXPECT_EQ(failed.result.path, (fs::current_path() / "missing" / "_sitemap0.xml.gz").string());
  EXPECT_EQ(failed.result.systemError, ENOENT);

  setup.autoSavePath = "";
  AutoSaveTick(setup, writer, controller);
  WaitForSave();
  AutoSaveReport good = LastAutoSaveReport();
  EXPECT_EQ(good.sequence, before + 2);
  EXPECT_TRUE(good.result.ok());
  EXPECT_TRUE(fs::exists("sitemap0.xml.gz"));
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
  EXPECT_EQ(writer.SaveAll("same", false), rc::kOk);
  EXPECT_EQ(writer.SaveAll("same", true), rc::kOk);
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
