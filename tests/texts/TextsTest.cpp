#include <gtest/gtest.h>

#include "output/CrawlEnding.h"
#include "output/FailureReport.h"
#include "texts/CrawlStatusText.h"
#include "texts/StringTable.h"

namespace {

TEST(StringTableTest, KnownNumbersHaveTheirTextsAndMissingNumbersAreEmpty) {
  EXPECT_EQ(LoadStringById(105), "不是一个合法的网址，请输入一个网址");
  EXPECT_EQ(LoadStringById(125), "条");
  EXPECT_EQ(LoadStringById(102), "");
  EXPECT_EQ(LoadStringById(130), "");
}

TEST(CrawlStatusTextTest, ElapsedTimeSplitsIntoHoursMinutesAndSeconds) {
  EXPECT_EQ(FormatElapsed(3599), "已运行0小时59分钟59秒");
  EXPECT_EQ(FormatElapsed(3600), "已运行1小时0分钟0秒");
  EXPECT_EQ(FormatElapsed(59), "已运行0小时0分钟59秒");
  EXPECT_EQ(FormatElapsed(0), "已运行0小时0分钟0秒");
  EXPECT_EQ(FormatElapsed(90061), "已运行25小时1分钟1秒");
}

TEST(CrawlStatusTextTest, CountersLineShowsEveryLabelAlsoWithZeros) {
  EXPECT_EQ(FormatCounters(CrawlCounters{}), "共找到0条网址 正在爬0条 爬过0条 等待爬的0条 不允许爬的0条 排除掉0条");
  // waiting 1, crawling 2, crawledOk 3, failed 4, notAllowed 5, tooDeep 6, excluded 7.
  const CrawlCounters c{1, 2, 3, 4, 5, 6, 7};
  // Excluded addresses are counted elsewhere too, so they are not part of found.
  EXPECT_EQ(FormatCounters(c), "共找到21条网址 正在爬2条 爬过7条 等待爬的1条 不允许爬的11条 排除掉7条");
}

TEST(CrawlStatusTextTest, TheEndingIsWordedFromItsKindAndTheStartPagesCode) {
  CrawlEnding ending;
  EXPECT_EQ(EndingStatusText(ending), "爬行已完成");
  ending.kind = CrawlEnding::Kind::Stopped;
  EXPECT_EQ(EndingStatusText(ending), "爬行已停止");
  EXPECT_FALSE(ending.FetchedNothing());

  ending.kind = CrawlEnding::Kind::Unreachable;
  ending.outcome = PageOutcome::OfFetchResult(7);
  EXPECT_TRUE(ending.FetchedNothing());
  EXPECT_EQ(EndingStatusText(ending), "无法连接网站");
  EXPECT_EQ(EndingMessage(ending, "http://h/"),
            "无法连接网站 http://h/\n原因（curl 7）：" + FailureDescription("curl 7"));

  ending.kind = CrawlEnding::Kind::NothingFetched;
  EXPECT_EQ(EndingStatusText(ending), "没有取得任何网页");
  ending.outcome = PageOutcome();  // no failure recorded: no cause to name
  EXPECT_EQ(EndingMessage(ending, "http://h/"), "没有从网站取得任何网页：http://h/");
}

TEST(CrawlStatusTextTest, WhyPagesAreNotRenderedNamesTheBrowserAndThePackage) {
  EXPECT_EQ(RenderStopText(RenderStop::None), "");
  const std::string missing = BrowserMissingText("/nonexistent/chromium");
  EXPECT_NE(missing.find("/nonexistent/chromium"), std::string::npos);
  EXPECT_NE(missing.find("apt install chromium"), std::string::npos);
  EXPECT_NE(RenderStopText(RenderStop::BrowserMissing).find("/usr/bin/chromium"), std::string::npos);
  EXPECT_EQ(RenderStopText(RenderStop::BrowserDiedTwice), "浏览器两次意外退出，其余网页不再执行网页脚本");
}

}  // namespace
