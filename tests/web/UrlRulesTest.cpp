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

TEST(IsSameSite, IgnoresWwwSchemeCaseAndPort) {
  EXPECT_TRUE(IsSameSite("https://example.com/a", kHost));
  EXPECT_TRUE(IsSameSite("http://WWW.EXAMPLE.COM:8080/x", kHost));
  EXPECT_FALSE(IsSameSite("http://example.org/x", kHost));
  EXPECT_FALSE(IsSameSite("http://sub.example.com/x", kHost));
  EXPECT_TRUE(IsSameSite("http://localhost/x", "LOCALHOST:81"));
  EXPECT_FALSE(IsSameSite("http://localhost/x", "intranet"));
}

}  // namespace
