#include <gtest/gtest.h>

#include "output/FailureTsv.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"

TEST(FailureTsvTest, LineHoldsPathCodeDescriptionAndTheLinkingPageInUtf8) {
  EXPECT_EQ(FailureTsvLine("/a b.html", "404", "http://h/list.html"),
            "/a b.html\t404\t" + FailureDescription("404") + "\thttp://h/list.html\n");
  EXPECT_EQ(FailureTsvLine("/x", "-70"), "/x\t-70\t" + FailureDescription("-70") + "\t\n");
  // A transfer that got no HTTP answer: libcurl's code, and its description in Chinese.
  EXPECT_EQ(FailureTsvLine("/x", "curl 7"), "/x\tcurl 7\t" + FailureDescription("curl 7") + "\t\n");
  EXPECT_NE(FailureTsvLine("/x", "curl 7").find("连接"), std::string::npos);
  EXPECT_EQ(FailureTsvLine("/x", ""), "/x\t\t\t\n");
  EXPECT_EQ(FailureTsvLine("/中文.html", "500"),
            "/中文.html\t500\t" + FailureDescription("500") + "\t\n");
}

TEST(FailureTsvTest, TabsLineBreaksAndInvalidAnsiBytesCannotBreakTheLine) {
  EXPECT_EQ(FailureTsvLine("/a\tb\r\nc", "404", "http://h/\tx"),
            "/a%09b%0D%0Ac\t404\t" + FailureDescription("404") + "\thttp://h/%09x\n");
  // 0x81 alone is half a GBK character: kept as bytes, not dropped.
  EXPECT_EQ(FailureTsvLine(std::string("/x\x81.html", 8), "404"),
            "/x%81.html\t404\t" + FailureDescription("404") + "\t\n");
}
