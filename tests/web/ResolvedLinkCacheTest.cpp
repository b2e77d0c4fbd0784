#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/ResolvedLinkCache.h"
#include "web/WebAddress.h"

namespace {

std::string Resolved(const ReferenceResolver& resolver, const std::string& href) {
  WebAddress out;
  return resolver.Resolve(href, out) ? ToText(out) : std::string("(none)");
}

// Pages of one directory, of another scheme and port, and a deeper one: what one href means
// differs between some of them, so only a cache keyed rightly answers each as libcurl does.
const std::vector<std::string> kBases = {
    "http://127.0.0.1:8080/dir/page.html?x=1", "http://127.0.0.1:8080/dir/other.html",
    "http://127.0.0.1:8080/dir/",              "https://127.0.0.1:8080/dir/page.html",
    "http://127.0.0.1:8080/dir/sub/x.html",    "http://127.0.0.1/dir/page.html",
    "http://127.0.0.1:8080/dir/a?p=/q/r",      "http://127.0.0.1:8080",
    "http://u:p@127.0.0.1:8080/other/x.html"};

const std::vector<std::string> kHrefs = {
    "a.html", "../a.html", "./", "", "  ", "#x", "?q=1", "?q=1#f", "http:rel.html", "http:", "http:?q=2",
    "http:#f", "https:rel.html", "/abs.html", "//other.host/x", "mailto:a@example.com", "//", "a b.html",
    "..\\up.html", "HTTP://127.0.0.1:8080/Up.html", "sub/../../c.html#x", "http://127.0.0.1:99999/",
    "http:/abs.html", "/a/../b.html?x", "\\\\other.host\\y", "https://127.0.0.1:8080/dir/z.html", "http:abc://x"};

TEST(ResolvedLinkCache, EveryBaseGetsWhatAResolverWithoutTheCacheGivesFirstAndSecondTime) {
  ResolvedLinkCache cache;
  uint64_t firstRoundMisses = 0;
  for (int round = 0; round < 2; ++round) {
    if (round == 1) firstRoundMisses = cache.misses();
    for (const std::string& base : kBases) {
      const ReferenceResolver plain(base);
      const ReferenceResolver cached(base, &cache);
      for (const std::string& href : kHrefs)
        EXPECT_EQ(Resolved(cached, href), Resolved(plain, href)) << "base " << base << ", href [" << href << "]";
    }
  }
  // Pages of one directory share answers; the second round asks libcurl nothing the first did.
  EXPECT_GT(cache.hits(), 0u);
  EXPECT_EQ(cache.misses(), firstRoundMisses);
}

TEST(ResolvedLinkCache, StaysBoundedAndKeepsWhatIsStillInUse) {
  ResolvedLinkCache cache;
  const ReferenceResolver resolver("http://127.0.0.1/dir/page.html", &cache);
  WebAddress out;
  for (size_t i = 0; i < 5 * ResolvedLinkCache::kEntries; ++i) {
    ASSERT_TRUE(resolver.Resolve("page" + std::to_string(i) + ".html", out));
    ASSERT_TRUE(resolver.Resolve("/nav.html", out));  // a navigation link every page repeats
    EXPECT_EQ(out.pathAndQuery, "/nav.html");
  }
  EXPECT_LE(cache.size(), 2 * ResolvedLinkCache::kEntries);
  // The navigation link was resolved once; each page link once.
  EXPECT_EQ(cache.misses(), 5 * ResolvedLinkCache::kEntries + 1);
  const std::string longHref = "/" + std::string(ResolvedLinkCache::kLongestHref + 1, 'a');
  ASSERT_TRUE(resolver.Resolve(longHref, out));
  ASSERT_TRUE(resolver.Resolve(longHref, out));
  EXPECT_EQ(out.pathAndQuery, longHref);
  EXPECT_EQ(cache.misses(), 5 * ResolvedLinkCache::kEntries + 3);
}

}  // namespace
