#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "common/MessageQueue.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadAutoSave.h"
#include "crawl/CThreadControlSitemap.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/CrawlSync.h"

namespace {

struct AutoSaveProbe {
  std::atomic<int> runs{0};
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
};

int32_t ProbeProc(void* param) {
  auto* probe = static_cast<AutoSaveProbe*>(param);
  ++probe->runs;
  probe->released.wait();
  return 0;
}

TEST(ThreadControlTest, SuspendAndResumeAnswerNoThreadBeforeAStartAndFailWhileRunning) {
  CThreadAutoSave autoSave(&ProbeProc);
  EXPECT_EQ(autoSave.state(), -1);
  EXPECT_EQ(autoSave.Suspend(), -300);
  EXPECT_EQ(autoSave.Resume(), -300);

  AutoSaveProbe probe;
  EXPECT_EQ(autoSave.Start(&probe), 0);
  EXPECT_EQ(autoSave.state(), 1);
  EXPECT_EQ(autoSave.Suspend(), -10000);  // threads of this platform cannot be suspended
  EXPECT_EQ(autoSave.Resume(), -10000);
  EXPECT_FALSE(autoSave.WaitFinished(std::chrono::milliseconds(0)));
  // Stop only marks the controller; the thread goes on until its procedure returns.
  EXPECT_EQ(autoSave.Stop(), 0);
  EXPECT_EQ(autoSave.state(), 2);
  probe.release.set_value();
  EXPECT_TRUE(autoSave.WaitFinished(std::chrono::seconds(30)));
  EXPECT_EQ(probe.runs.load(), 1);
  EXPECT_EQ(autoSave.Suspend(), -10000);
}

TEST(ThreadControlTest, AutoSaveWithoutAProcedureStartsNothing) {
  CThreadAutoSave autoSave(nullptr);
  EXPECT_EQ(autoSave.Start(nullptr), -110);
  EXPECT_EQ(autoSave.state(), -1);
  EXPECT_FALSE(autoSave.HasThread());
  EXPECT_TRUE(autoSave.WaitFinished(std::chrono::milliseconds(0)));
}

TEST(ThreadControlTest, CrawlThreadWithoutAddressOrCrawlObjectEndsAtOnceWithoutPosting) {
  MessageQueue window;
  SetMainWindow(window.handle());
  EXPECT_EQ(CrawlThreadProc(nullptr), -10000);
  CrawlStartParams params;
  params.notifyWindow = window.handle();
  params.control = std::make_shared<CSitemapControl>();
  EXPECT_EQ(CrawlThreadProc(&params), -10000);  // empty start address
  params.startUrl = "http://example.test/";
  params.control.reset();
  EXPECT_EQ(CrawlThreadProc(&params), -10000);

  CThreadControlSitemap controller;
  EXPECT_EQ(controller.Start(nullptr), 0);
  EXPECT_EQ(controller.state(), 1);
  EXPECT_TRUE(controller.WaitFinished(std::chrono::seconds(30)));
  EXPECT_EQ(window.size(), 0u);
  SetMainWindow(kNoWindow);
}

TEST(ThreadControlTest, TheCrawlObjectOutlivesItsOwnerWhileTheCrawlRuns) {
  MessageQueue window;
  SetMainWindow(window.handle());
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  CThreadControlSitemap controller;
  {
    auto control = std::make_shared<CSitemapControl>();
    control->SetPageFetcher([released](const std::string&, std::string& headers, std::string& body) {
      released.wait();
      headers = "HTTP/1.1 200 OK";
      body = "\r\n\r\n<html><body></body></html>";
      return 0;
    });
    CrawlStartParams params;
    params.notifyWindow = window.handle();
    params.startUrl = "http://example.test/";
    params.control = control;
    ASSERT_EQ(controller.Start(&params), 0);
  }  // the window lets go of the crawl object and of the parameters
  release.set_value();
  ASSERT_TRUE(controller.WaitFinished(std::chrono::seconds(30)));
  auto results = window.Take(std::chrono::seconds(1));
  auto finished = window.Take(std::chrono::seconds(1));
  ASSERT_TRUE(results && finished);
  EXPECT_EQ(finished->message, WM_CRAWL_FINISHED);
  SetMainWindow(kNoWindow);
}

}  // namespace
