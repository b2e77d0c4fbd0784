#include <gtest/gtest.h>

#include "crawl/CSitemapControl.h"
#include "crawl/CrawlStatus.h"

namespace {

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

TEST(CrawlStatusTest, TheCountersAreReadAsOneCopyOfEveryField) {
  CSitemapControl control(CrawlStartParams{}, nullptr);
  CrawlCounters& c = control.data().counters;
  c.waiting = 1;
  c.crawling = 2;
  c.crawledOk = 3;
  c.failed = 4;
  c.notAllowed = 5;
  c.tooDeep = 6;
  c.excluded = 7;
  CrawlCounters copy = control.Counters();
  EXPECT_EQ(copy.waiting + copy.crawling * 10 + copy.crawledOk * 100 + copy.failed * 1000 +
                copy.notAllowed * 10000 + copy.tooDeep * 100000 + copy.excluded * 1000000,
            7654321);
}

}  // namespace
