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

}  // namespace
