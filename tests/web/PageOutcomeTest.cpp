#include <gtest/gtest.h>

#include "web/PageOutcome.h"

TEST(PageOutcomeTest, EveryOutcomeReadsBackFromItsStoredTextAndNothingElseReads) {
  using Kind = PageOutcome::Kind;
  for (const PageOutcome& outcome : {PageOutcome::Status(200), PageOutcome::Status(404), PageOutcome::Status(301),
                                     PageOutcome::OfFetchResult(7), PageOutcome::OfFetchResult(60),
                                     PageOutcome::OfFetchResult(-70), PageOutcome::OfFetchResult(-10000), PageOutcome()}) {
    const std::optional<PageOutcome> back = PageOutcome::FromText(outcome.Text());
    ASSERT_TRUE(back) << outcome.Text();
    EXPECT_TRUE(*back == outcome) << outcome.Text();
  }
  EXPECT_EQ(PageOutcome::OfFetchResult(7).Text(), "curl 7");
  EXPECT_EQ(PageOutcome::OfFetchResult(-70).Text(), "-70");
  EXPECT_EQ(PageOutcome::OfFetchResult(7).kind(), Kind::Transfer);
  EXPECT_EQ(PageOutcome::OfFetchResult(-70).kind(), Kind::Own);
  EXPECT_EQ(PageOutcome::OfFetchResult(0).Text(), "");
  EXPECT_TRUE(PageOutcome::OfStatusText("200").ok());
  EXPECT_TRUE(PageOutcome::OfStatusText("302").IsRedirect());
  EXPECT_FALSE(PageOutcome::OfStatusText("200").IsRedirect());
  for (const char* odd : {"20", "2000", "abc", "099", "+20", " 200"}) EXPECT_EQ(PageOutcome::OfStatusText(odd).Text(), "") << odd;
  for (const char* foreign : {"curl 0", "curl ", "curl x", "curl -7", "abc", "12", "1000", "+5", "-0", "-", "--1"})
    EXPECT_FALSE(PageOutcome::FromText(foreign)) << foreign;
}
