#include <gtest/gtest.h>

#include "web/MetaRobots.h"

TEST(MetaRobotsTest, ContentDirectivesAreReadWhateverTheirCaseSpacingAndCompany) {
  auto read = [](const char* content) {
    MetaRobotsDirectives d = ParseMetaRobotsContent(content);
    return std::make_pair(d.noindex, d.nofollow);
  };
  EXPECT_EQ(read("noindex"), std::make_pair(true, false));
  EXPECT_EQ(read("NOFOLLOW"), std::make_pair(false, true));
  EXPECT_EQ(read(" noindex , NoFollow "), std::make_pair(true, true));
  EXPECT_EQ(read("none"), std::make_pair(true, true));
  EXPECT_EQ(read("index, follow, max-snippet:-1"), std::make_pair(false, false));
  EXPECT_EQ(read("all"), std::make_pair(false, false));
  EXPECT_EQ(read(""), std::make_pair(false, false));
  EXPECT_EQ(read(",,,"), std::make_pair(false, false));
  EXPECT_EQ(read("noindexed, nofollowing"), std::make_pair(false, false));  // whole directives only
}

TEST(MetaRobotsTest, MetaNamesForAllRobotsOrForOurTokenAddressUs) {
  EXPECT_TRUE(MetaNameAddressesUs("robots", ""));
  EXPECT_TRUE(MetaNameAddressesUs(" ROBOTS ", "VeltroBot"));
  EXPECT_TRUE(MetaNameAddressesUs("veltrobot", "VeltroBot"));
  EXPECT_FALSE(MetaNameAddressesUs("googlebot", "VeltroBot"));
  EXPECT_FALSE(MetaNameAddressesUs("", ""));
  EXPECT_FALSE(MetaNameAddressesUs("description", ""));
}

TEST(MetaRobotsTest, RelNofollowIsOneOfTheSpaceSeparatedLinkTypes) {
  EXPECT_TRUE(RelHasNofollow("nofollow"));
  EXPECT_TRUE(RelHasNofollow("noopener  NoFollow\tnoreferrer"));
  EXPECT_FALSE(RelHasNofollow("noopener noreferrer"));
  EXPECT_FALSE(RelHasNofollow("nofollowed"));
  EXPECT_FALSE(RelHasNofollow(""));
}
