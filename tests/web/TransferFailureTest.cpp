#include <gtest/gtest.h>

#include "web/TransferFailure.h"

TEST(TransferFailureTest, CurlCodesGetTheirPrefixClientCodesStayDecimalAndOnlyCurlTextsParseBack) {
  EXPECT_EQ(TransferFailureCode(47), "curl 47");
  EXPECT_EQ(TransferFailureCode(-70), "-70");
  EXPECT_EQ(TransferFailureCode(-220), "-220");
  EXPECT_EQ(TransferFailureCode(0), "");  // a transfer that worked is no failure
  for (int code = 1; code < 100; ++code) {
    int parsed = 0;
    ASSERT_TRUE(ParseCurlFailureCode(TransferFailureCode(code), parsed)) << code;
    EXPECT_EQ(parsed, code);
  }
  for (const char* text : {"404", "-70", "", "curl ", "curl 0", "curl -7", "curl 7x", "curl  7", "Curl 7",
                           "curl 99999999999", "xcurl 7"}) {
    int parsed = -1;
    EXPECT_FALSE(ParseCurlFailureCode(text, parsed)) << text;
    EXPECT_EQ(parsed, -1) << text;
  }
}
