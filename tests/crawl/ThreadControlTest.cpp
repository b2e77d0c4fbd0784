#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "NoticeQueue.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadAutoSave.h"
#include "crawl/CThreadControlSitemap.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/PortionHandOver.h"

namespace {

struct AutoSaveProbe {
  std::atomic<int> runs{0};
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
};

TEST(ThreadControlTest, AStopMarksTheControllerAndTheThreadRunsItsProcedureToItsEnd) {
  CThreadAutoSave autoSave;
  EXPECT_EQ(autoSave.state(), -1);
  EXPECT_TRUE(autoSave.WaitFinished(std::chrono::milliseconds(0)));  // none started

  AutoSaveProbe probe;
  EXPECT_EQ(autoSave.Start([&probe] {
    ++probe.runs;
    probe.released.wait();
  }),
            0);
  EXPECT_EQ(autoSave.state(), 1);
  EXPECT_FALSE(autoSave.WaitFinished(std::chrono::milliseconds(0)));
  // Stop only marks the controller; the thread goes on until its procedure returns.
  EXPECT_EQ(autoSave.Stop(), 0);
  EXPECT_EQ(autoSave.state(), 2);
  probe.release.set_value();
  EXPECT_TRUE(autoSave.WaitFinished(std::chrono::seconds(30)));
  EXPECT_EQ(probe.runs.load(), 1);
}

TEST(ThreadControlTest, NeitherAnAutoSaveWithoutASaveNorACrawlThreadWithoutACrawlStarts) {
  CThreadAutoSave autoSave;
  EXPECT_EQ(autoSave.Start(nullptr), -110);
  EXPECT_EQ(autoSave.state(), -1);
  EXPECT_FALSE(autoSave.HasThread());
  EXPECT_TRUE(autoSave.WaitFinished(std::chrono::milliseconds(0)));
  CThreadControlSitemap controller;
  EXPECT_EQ(controller.Start(nullptr), -110);
  EXPECT_EQ(controller.state(), -1);
}

TEST(ThreadControlTest, TheCrawlObjectOutlivesItsOwnerWhileTheCrawlRuns) {
  NoticeQueue window;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  CThreadControlSitemap controller;
  {
    CrawlStartParams params;
    params.startUrl = "http://example.test/";
    auto control = std::make_shared<CSitemapControl>(params, std::make_shared<PortionHandOver>(window.NotifyFor(1)));
    control->SetPageFetcher([released](const std::string&, std::string& headers, std::string& body) {
      released.wait();
      headers = "HTTP/1.1 200 OK";
      body = "\r\n\r\n<html><body></body></html>";
      return 0;
    });
    ASSERT_EQ(controller.Start(control), 0);
  }  // the window lets go of the crawl object
  release.set_value();
  ASSERT_TRUE(controller.WaitFinished(std::chrono::seconds(30)));
  auto results = window.Take(std::chrono::seconds(1));
  auto finished = window.Take(std::chrono::seconds(1));
  ASSERT_TRUE(results && finished);
  EXPECT_EQ(results->event, PortionHandOver::Event::PortionsWaiting);
  EXPECT_EQ(finished->event, PortionHandOver::Event::Finished);
}

}  // namespace
