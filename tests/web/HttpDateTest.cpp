#include <gtest/gtest.h>

#include <string>

#include "web/HttpDate.h"

namespace {

// 2026-03-09 12:00:00 UTC: the "now" of every case, so none depends on the clock.
constexpr std::time_t kNow = 1773057600;

std::string W3c(const std::string& value) { return W3cDateOfHttpDate(value, kNow).value_or("<none>"); }

}  // namespace

TEST(HttpDateTest, TheThreeHttpFormsGiveTheSameW3cDatetime) {
  EXPECT_EQ(W3c("Sun, 06 Nov 1994 08:49:37 GMT"), "1994-11-06T08:49:37+00:00");
  EXPECT_EQ(W3c("Sunday, 06-Nov-94 08:49:37 GMT"), "1994-11-06T08:49:37+00:00");
  EXPECT_EQ(W3c("Sun Nov  6 08:49:37 1994"), "1994-11-06T08:49:37+00:00");
  EXPECT_EQ(W3c("Wed, 31 Jan 2024 08:05:00 GMT"), "2024-01-31T08:05:00+00:00");
  EXPECT_EQ(ParseHttpDate("Thu, 01 Jan 1970 00:00:00 GMT", kNow), std::time_t(0));
}

TEST(HttpDateTest, LenientReadingOfCaseSpacesZoneNameAndFourDigitRfc850Years) {
  EXPECT_EQ(W3c("  sun, 06 nov 1994 08:49:37 gmt \r"), "1994-11-06T08:49:37+00:00");
  EXPECT_EQ(W3c("Sun, 6 Nov 1994 08:49:37 UTC"), "1994-11-06T08:49:37+00:00");
  EXPECT_EQ(W3c("Sunday, 06-Nov-1994 08:49:37 GMT"), "1994-11-06T08:49:37+00:00");
  EXPECT_EQ(W3c("Sun Nov 16 08:49:37 1994"), "1994-11-16T08:49:37+00:00");
  EXPECT_EQ(W3c("Mon, 09 Mar 2026 12:00:00 GMT"), "2026-03-09T12:00:00+00:00");  // the weekday is not checked
}

TEST(HttpDateTest, TwoDigitYearsAreTheLatestSuchYearNotAfterThisOne) {
  EXPECT_EQ(W3c("Monday, 01-Jan-25 00:00:00 GMT"), "2025-01-01T00:00:00+00:00");
  EXPECT_EQ(W3c("Monday, 02-Mar-26 00:00:00 GMT"), "2026-03-02T00:00:00+00:00");
  EXPECT_EQ(W3c("Monday, 01-Jan-71 00:00:00 GMT"), "1971-01-01T00:00:00+00:00");
  EXPECT_EQ(W3c("Monday, 01-Jan-76 00:00:00 GMT"), "1976-01-01T00:00:00+00:00");
  EXPECT_EQ(W3c("Monday, 01-Jan-99 00:00:00 GMT"), "1999-01-01T00:00:00+00:00");
  // Later this year would be the future: refused rather than moved a century back.
  EXPECT_EQ(W3cDateOfHttpDate("Monday, 01-Dec-26 00:00:00 GMT", kNow), std::nullopt);
  EXPECT_EQ(W3cDateOfHttpDate("Monday, 01-Jan-27 00:00:00 GMT", kNow), std::nullopt);  // 1927, before 1970
}

TEST(HttpDateTest, LeapDaysAndLeapSecondsAreAccepted) {
  EXPECT_EQ(W3c("Thu, 29 Feb 2024 23:59:59 GMT"), "2024-02-29T23:59:59+00:00");
  EXPECT_EQ(W3c("Tue, 29 Feb 2000 00:00:00 GMT"), "2000-02-29T00:00:00+00:00");
  EXPECT_EQ(W3c("Sat, 31 Dec 2016 23:59:60 GMT"), "2016-12-31T23:59:59+00:00");
}

TEST(HttpDateTest, BadOrOutOfRangeValuesGiveNothingSoTheCallerKeepsToday) {
  for (const char* bad : {
           "", "   ", "garbage", "0", "1700000000", "2024-01-31T08:05:00Z",
           "Wed, 31 Jan 2024 08:05:00",            // no zone
           "Wed, 31 Jan 2024 08:05:00 PST",        // another zone
           "Wed, 31 Jan 2024 08:05:00 +0800",
           "Wed, 31 Jan 2024 08:05 GMT",           // no seconds
           "Wed, 31 Jan 24 08:05:00 GMT",          // two-digit year in the fixed form
           "Wed 31 Jan 2024 08:05:00 GMT",         // no comma
           "Xyz, 31 Jan 2024 08:05:00 GMT",        // no weekday
           "Wed, 31 Foo 2024 08:05:00 GMT",        // no month
           "Wed, 32 Jan 2024 08:05:00 GMT", "Wed, 31 Apr 2024 08:05:00 GMT", "Wed, 29 Feb 2023 08:05:00 GMT",
           "Mon, 29 Feb 1900 08:05:00 GMT", "Wed, 00 Jan 2024 08:05:00 GMT", "Wed, 31 Jan 2024 24:00:00 GMT",
           "Wed, 31 Jan 2024 08:60:00 GMT", "Wed, 31 Jan 2024 08:05:61 GMT",
           "Wed, 31 Dec 1969 23:59:59 GMT",        // before 1970
           "Wed, 31 Jan 2024 08:05:00 GMT trailing", "Wed, 31 Jan 2024 08:05:00 GMTX",
           "Sun Nov  6 08:49:37 94", "Sun Nov  6 08:49:37 1994 GMT",
           "Wed, 31 Jan 12024 08:05:00 GMT", "Wed, 999999999999999999999 Jan 2024 08:05:00 GMT",
           "Fri, 01 Jan 2100 00:00:00 GMT",        // the future: a clock that cannot be trusted
           "Tue, 10 Mar 2026 12:00:01 GMT",        // a day and a second ahead
       }) {
    EXPECT_EQ(W3cDateOfHttpDate(bad, kNow), std::nullopt) << "[" << bad << "]";
  }
  EXPECT_EQ(W3c("Tue, 10 Mar 2026 12:00:00 GMT"), "2026-03-10T12:00:00+00:00");  // a day ahead: clocks differ
  EXPECT_EQ(W3cDateOfHttpDate(std::string("Wed, 31 Jan 2024\0 08:05:00 GMT", 30), kNow), std::nullopt);
}
