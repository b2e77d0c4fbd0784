#include <gtest/gtest.h>

#include <string>

#include "web/PageTitle.h"

namespace {

TEST(PageTitleTest, ReadsTheHeadsTitleDecodedAndCollapsedAndNothingElse) {
  EXPECT_EQ(PageTitleOf("<html><head><TITLE lang=zh>\n  公司 &amp; 产品 &#x2014;&#20013;  </TITLE></head>"),
            "公司 & 产品 \xE2\x80\x94中");
  EXPECT_EQ(PageTitleOf("<!-- <title>old</title> --><title>new</title>"), "new");
  EXPECT_EQ(PageTitleOf("<head></head><body><svg><title>icon</title></svg></body>"), "");
  EXPECT_EQ(PageTitleOf("<title>never closed"), "");
  EXPECT_EQ(PageTitleOf("<titles>x</titles>"), "");
  EXPECT_EQ(PageTitleOf("<title>a &bogus; &#0; b</title>"), "a &bogus; \xEF\xBF\xBD b");
  const std::string longTitle = PageTitleOf("<title>" + std::string(600, 'x') + "中文</title>");
  EXPECT_EQ(longTitle.size(), kMaxTitleBytes);
  const std::string cut = PageTitleOf("<title>" + std::string(511, 'x') + "中</title>");
  EXPECT_EQ(cut, std::string(511, 'x'));  // never half a character
}

}  // namespace
