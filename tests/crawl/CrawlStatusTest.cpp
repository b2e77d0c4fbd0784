#include <gtest/gtest.h>

#include "crawl/CSitemapControl.h"
#include "crawl/CrawlStatus.h"

namespace {

TEST(CrawlStatusTest, ElapsedTimeSplitsIntoHoursMinutesAndSeconds) {
  EXPECT_EQ(FormatElapsed(3599), L"已运行0小时59分钟59秒");
  EXPECT_EQ(FormatElapsed(3600), L"已运行1小时0分钟0秒");
  EXPECT_EQ(FormatElapsed(59), L"已运行0小时0分钟59秒");
  EXPECT_EQ(FormatElapsed(0), L"已运行0小时0分钟0秒");
  EXPECT_EQ(FormatElapsed(90061), L"已运行25小时1分钟1秒");
}

TEST(CrawlStatusTest, CountersLineShowsEveryLabelAlsoWithZeros) {
  EXPECT_EQ(FormatCounters(CrawlCounters{}), L"共找到0条网址 正在爬0条 爬过0条 等待爬的0条 不允许爬的0条 排除掉0条");
  CrawlCounters c;
  c.waiting = 1;
  c.crawling = 2;
  c.crawledOk = 3;
  c.failed = 4;
  c.notAllowed = 5;
  c.tooDeep = 6;
  c.excluded = 7;
  // Excluded addresses are counted elsewhere too, so they are not part of found.
  EXPECT_EQ(FormatCounters(c), L"共找到21条网址 正在爬2条 爬过7条 等待爬的1条 不允许爬的11条 排除掉7条");
}

TEST(CrawlStatusTest, ProgressIsASinglePrecisionRatioTruncatedAndBounded) {
  EXPECT_EQ(ProgressPosition(CrawlCounters{}), 0);
  CrawlCounters c;
  c.crawledOk = 2;
  c.waiting = 1;
  EXPECT_EQ(ProgressPosition(c), 66);  // truncated, not rounded
  c.waiting = 0;
  c.crawling = 0;
  EXPECT_EQ(ProgressPosition(c), 100);
  CrawlCounters odd;  // counters that went wrong must not give a negative position
  odd.crawledOk = -5;
  odd.waiting = 10;
  EXPECT_EQ(ProgressPosition(odd), 0);
  CrawlCounters excludedOnly;
  excludedOnly.excluded = 4;
  EXPECT_EQ(ProgressPosition(excludedOnly), 0);
}

}  // namespace
