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

TEST(LinkKinds, ExternalOnlyForAbsoluteLinksToOtherHosts) {
  EXPECT_TRUE(IsExternalLink("http://example.org/x", kHost));
  EXPECT_TRUE(IsExternalLink("HTTPS://example.org/x", kHost));
  EXPECT_TRUE(IsExternalLink("http://H/x", kHost));  // no host can be found in it
  EXPECT_FALSE(IsExternalLink("http://example.com/x", kHost));
  EXPECT_FALSE(IsExternalLink("example.org/x", kHost));  // no scheme: a relative link
  EXPECT_FALSE(IsExternalLink("//cdn.example.org/x", kHost));
}

TEST(LinkKinds, ScriptAndMailLinksAreSkipped) {
  EXPECT_TRUE(IsSkippedLink("JavaScript:void(0)"));
  EXPECT_TRUE(IsSkippedLink("javascriptfile.html"));
  EXPECT_TRUE(IsSkippedLink("MAILTO:x@example.com"));
  EXPECT_FALSE(IsSkippedLink("mailto"));
  EXPECT_FALSE(IsSkippedLink("/javascript.html"));
}

TEST(ResolveLink, AbsoluteAndHostLinksGiveTheirPath) {
  EXPECT_EQ(ResolveLink("http://www.example.com/a/b.html?x=1#top", kHost), "/a/b.html?x=1#top");
  EXPECT_EQ(ResolveLink("https://example.com/a", kHost), "/a");
  EXPECT_EQ(ResolveLink("www.example.com/d.html", kHost), "/d.html");
  EXPECT_EQ(ResolveLink("http://www.example.com:8080/x", kHost), ":8080/x");
  EXPECT_EQ(ResolveLink("http://www.example.com", kHost), "");
}

TEST(ResolveLink, RelativeLinksResolveAgainstTheSiteRoot) {
  EXPECT_EQ(ResolveLink("b.html", kHost), "/b.html");
  EXPECT_EQ(ResolveLink("../c.html", kHost), "/../c.html");
  EXPECT_EQ(ResolveLink("#top", kHost), "/#top");
  EXPECT_EQ(ResolveLink("?p=2", kHost), "/?p=2");
  EXPECT_EQ(ResolveLink("/x.html", kHost), "/x.html");
  EXPECT_EQ(ResolveLink("//c.example.com/x", kHost), "//c.example.com/x");
  EXPECT_EQ(ResolveLink("example.org/x", kHost), "/example.org/x");
}

TEST(SiteOrigin, KeepsSchemeHostAndPortOfTheStartAddress) {
  SiteOrigin o = OriginOf("HTTPS://www.example.com:8443/start");
  EXPECT_EQ(o.scheme, "https");
  EXPECT_EQ(o.host, "www.example.com");
  EXPECT_EQ(o.port, ":8443");
  EXPECT_EQ(FullAddress(o, "/a.html"), "https://www.example.com:8443/a.html");
  o = OriginOf("127.0.0.1:8080");
  EXPECT_EQ(o.scheme, "http");
  EXPECT_EQ(FullAddress(o, "/"), "http://127.0.0.1:8080/");
  o = OriginOf("http://example.com:/x");
  EXPECT_EQ(o.port, "");
  EXPECT_EQ(FullAddress(OriginOf("example.com/a"), "/b"), "http://example.com/b");
}

}  // namespace
