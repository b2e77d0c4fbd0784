#include <gtest/gtest.h>

#include "cli/FailureTsv.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"

TEST(FailureTsvTest, LineHoldsPathCodeAndThePagesDescriptionInUtf8) {
  EXPECT_EQ(FailureTsvLine("/a b.html", "404"), "/a b.html\t404\t" + WideToUtf8(FailureDescription("404")) + "\n");
  EXPECT_EQ(FailureTsvLine("/x", "-70"), "/x\t-70\t" + WideToUtf8(L"网络错误") + "\n");
  EXPECT_EQ(FailureTsvLine("/x", ""), "/x\t\t\n");  // a transfer error has no code
  EXPECT_EQ(FailureTsvLine(WideToAnsi(L"/中文.html"), "500"),
            "/中文.html\t500\t" + WideToUtf8(FailureDescription("500")) + "\n");
}

TEST(FailureTsvTest, TabsLineBreaksAndInvalidAnsiBytesCannotBreakTheLine) {
  EXPECT_EQ(FailureTsvLine("/a\tb\r\nc", "404"), "/a%09b%0D%0Ac\t404\t" + WideToUtf8(FailureDescription("404")) + "\n");
  // 0x81 alone is half a GBK character: kept as bytes, not dropped.
  EXPECT_EQ(FailureTsvLine(std::string("/x\x81.html", 8), "404"),
            "/x%81.html\t404\t" + WideToUtf8(FailureDescription("404")) + "\n");
}
