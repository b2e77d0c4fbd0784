#include <gtest/gtest.h>

#include "web/SiteOrigin.h"
#include "web/UrlRules.h"

namespace {

const std::string kHost = "www.example.com";

TEST(SplitUrl, TakesHostAndPathWithPortQueryAndFragmentInThePath) {
  std::string path = "untouched";
  EXPECT_EQ(SplitUrl("http://www.example.com/a/b.html?x=1#top", path), "www.example.com");
  EXPECT_EQ(path, "/a/b.html?x=1#top");
  EXPECT_EQ(SplitUrl("HTTPS://Example.COM:8080/x y", path), "Example.COM");
  EXPECT_EQ(path, ":8080/x");
  EXPECT_EQ(SplitUrl("example.com", path), "example.com");
  EXPECT_EQ(path, "");
  EXPECT_EQ(SplitUrl("127.0.0.1:8080/", path), "127.0.0.1");
  EXPECT_EQ(path, ":8080/");
}

TEST(SplitUrl, NoHostLeavesThePathAsItWas) {
  std::string path = "kept";
  EXPECT_EQ(SplitUrl("http://localhost/x", path), "");
  EXPECT_EQ(path, "kept");
  EXPECT_EQ(SplitUrl("", path), "");
  EXPECT_EQ(HostOf("not a host"), "");
}

TEST(IsSameSite, IgnoresWwwSchemeCaseAndPort) {
  EXPECT_TRUE(IsSameSite("https://example.com/a", kHost));
  EXPECT_TRUE(IsSameSite("http://WWW.EXAMPLE.COM:8080/x", kHost));
  EXPECT_FALSE(IsSameSite("http://example.org/x", kHost));
  EXPECT_FALSE(IsSameSite("http://sub.example.com/x", kHost));
  EXPECT_TRUE(IsSameSite("http://localhost/x", "intranet"));  // no host on either side
}

}  // namespace
