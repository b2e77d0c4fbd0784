#include <gtest/gtest.h>

#include "output/FailureTsv.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"

TEST(FailureTsvTest, LineHoldsPathCodeAndThePagesDescriptionInUtf8) {
  EXPECT_EQ(FailureTsvLine("/a b.html", "404"), "/a b.html\t404\t" + WideToUtf8(FailureDescription("404")) + "\n");
  EXPECT_EQ(FailureTsvLine("/x", "-70"), "/x\t-70\t" + WideToUtf8(FailureDescription("-70")) + "\n");
  // A transfer that got no HTTP answer: libcurl's code, and its description in Chinese.
  EXPECT_EQ(FailureTsvLine("/x", "curl 7"), "/x\tcurl 7\t" + WideToUtf8(FailureDescription("curl 7")) + "\n");
  EXPECT_NE(FailureTsvLine("/x", "curl 7").find("连接"), std::string::npos);
  EXPECT_EQ(FailureTsvLine("/x", ""), "/x\t\t\n");
  EXPECT_EQ(FailureTsvLine(WideToUtf8(L"/中文.html"), "500"),
            "/中文.html\t500\t" + WideToUtf8(FailureDescription("500")) + "\n");
}

TEST(FailureTsvTest, TabsLineBreaksAndInvalidAnsiBytesCannotBreakTheLine) {
  EXPECT_EQ(FailureTsvLine("/a\tb\r\nc", "404"), "/a%09b%0D%0Ac\t404\t" + WideToUtf8(FailureDescription("404")) + "\n");
  // 0x81 alone is half a GBK character: kept as bytes, not dropped.
  EXPECT_EQ(FailureTsvLine(std::string("/x\x81.html", 8), "404"),
            "/x%81.html\t404\t" + WideToUtf8(FailureDescription("404")) + "\n");
}
