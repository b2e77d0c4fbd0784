#include <gtest/gtest.h>

#include "web/SiteOrigin.h"
#include "web/UrlRules.h"

namespace {

const std::string kHost = "www.example.com";

TEST(HostOf, IsWhatLibcurlReadsNamesWithoutADotAndIpAddressesIncluded) {
  EXPECT_EQ(HostOf("http://www.example.com/a/b.html?x=1#top"), "www.example.com");
  EXPECT_EQ(HostOf("HTTPS://Example.COM:8080/x y"), "Example.COM");
  EXPECT_EQ(HostOf("example.com"), "example.com");
  EXPECT_EQ(HostOf("127.0.0.1:8080/"), "127.0.0.1");
  EXPECT_EQ(HostOf("http://localhost:8098/"), "localhost");
  EXPECT_EQ(HostOf("intranet"), "intranet");
  EXPECT_EQ(HostOf("http://[::1]:8098/"), "[::1]");
  EXPECT_EQ(HostOf("[::1]"), "[::1]");
}

TEST(HostOf, TextWithoutAHostGivesNone) {
  EXPECT_EQ(HostOf(""), "");
  EXPECT_EQ(HostOf("not a host"), "");
  EXPECT_EQ(HostOf("http://"), "");
  EXPECT_EQ(HostOf("http://[::1/"), "");
  EXPECT_EQ(HostOf("http://a b/"), "");
}

// The hosts the crawl compares: www., scheme, letter case and port do not part them.
TEST(HostOf, HostsOfOneSiteCompareAlike) {
  const auto same = [](const std::string& a, const std::string& b) { return IsSameHost(HostOf(a), HostOf(b)); };
  EXPECT_TRUE(same("https://example.com/a", kHost));
  EXPECT_TRUE(same("http://WWW.EXAMPLE.COM:8080/x", kHost));
  EXPECT_FALSE(same("http://example.org/x", kHost));
  EXPECT_FALSE(same("http://sub.example.com/x", kHost));
  EXPECT_TRUE(same("http://localhost/x", "LOCALHOST:81"));
  EXPECT_FALSE(same("http://localhost/x", "intranet"));
}

}  // namespace
