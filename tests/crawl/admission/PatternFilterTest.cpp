#include <gtest/gtest.h>

#include "crawl/AdmissionRules.h"
#include "crawl/PatternFilter.h"

namespace {
PatternFilter Filter(StringISet include, StringISet exclude) {
  PatternFilter filter;
  filter.includePatterns = std::move(include);
  filter.excludePatterns = std::move(exclude);
  return filter;
}
}  // namespace

TEST(PatternFilterTest, WithoutPatternsNothingIsExcluded) {
  PatternFilter filter;
  EXPECT_FALSE(filter.IsExcluded("/"));
  EXPECT_FALSE(filter.IsExcluded("/a.php?x=1"));
  EXPECT_FALSE(filter.IsExcluded(""));
}

TEST(PatternFilterTest, IncludeEndsWithPatternKeepsMatchesAndTheRoot) {
  auto filter = Filter({"*html"}, {});
  EXPECT_FALSE(filter.IsExcluded("/a.html"));
  EXPECT_FALSE(filter.IsExcluded("/A.HTML"));
  EXPECT_TRUE(filter.IsExcluded("/a.php"));
  EXPECT_TRUE(filter.IsExcluded("/a.html?x=1"));
  EXPECT_FALSE(filter.IsExcluded("/"));
}

TEST(PatternFilterTest, ExcludeWinsOverIncludeAndStarAloneMatchesEverything) {
  EXPECT_TRUE(Filter({"fid"}, {"fid"}).IsExcluded("/list.php?fid=3"));
  auto all = Filter({}, {"*"});
  EXPECT_TRUE(all.IsExcluded("/x"));
  EXPECT_TRUE(all.IsExcluded("/index.html"));
  EXPECT_FALSE(all.IsExcluded("/"));
}

TEST(PatternFilterTest, StartsWithPatternMustMatchFromTheFirstCharacter) {
  auto news = Filter({"/news*"}, {});
  EXPECT_FALSE(news.IsExcluded("/news/1.html"));
  EXPECT_FALSE(news.IsExcluded("/NEWS"));
  EXPECT_TRUE(news.IsExcluded("/a/news.html"));
  auto noSlash = Filter({"news*"}, {});
  EXPECT_TRUE(noSlash.IsExcluded("/news/1.html"));
  EXPECT_TRUE(noSlash.IsExcluded("/a/news.html"));
  EXPECT_FALSE(noSlash.IsExcluded("/"));
}

TEST(PatternFilterTest, InnerStarIsDroppedFromTheNeedleNotAWildcard) {
  auto filter = Filter({}, {"A*B"});
  EXPECT_TRUE(filter.IsExcluded("/xaby"));
  EXPECT_TRUE(filter.IsExcluded("/XAbY"));
  EXPECT_FALSE(filter.IsExcluded("/axb"));
  // Both ends starred: contains, not a mix of the other kinds.
  EXPECT_TRUE(Filter({}, {"*a*b*"}).IsExcluded("/zabz"));
  EXPECT_FALSE(Filter({}, {"*a*b*"}).IsExcluded("/azb"));
  // A needle longer than the path matches nothing.
  EXPECT_FALSE(Filter({}, {"*/very/long/needle"}).IsExcluded("/x"));
}

TEST(PatternFilterTest, FillSplitsAtEveryLineBreakAndKeepsPiecesUntrimmed) {
  StringISet set;
  PatternFilter::FillPatternSet(set, "fid\r\n fid\n\n\rFID\r*.html");
  EXPECT_EQ(set.size(), 3u);
  EXPECT_TRUE(set.count("fid"));
  EXPECT_TRUE(set.count(" fid"));
  EXPECT_TRUE(set.count("*.HTML"));
  StringISet none;
  PatternFilter::FillPatternSet(none, "");
  PatternFilter::FillPatternSet(none, "\r\n\r\n");
  EXPECT_TRUE(none.empty());
}

TEST(PatternFilterTest, ClearEmptiesBothSets) {
  auto filter = Filter({"a"}, {"b"});
  filter.Clear();
  EXPECT_TRUE(filter.includePatterns.empty());
  EXPECT_TRUE(filter.excludePatterns.empty());
  EXPECT_FALSE(filter.IsExcluded("/x"));
}

TEST(AdmissionRulesTest, ForbiddenExtensionIsTheEndOfThePathInAnyCase) {
  StringISet zip{".zip"};
  EXPECT_FALSE(IsAllowedExtension("/a.ZIP", zip));
  EXPECT_FALSE(IsAllowedExtension("/get.php?f=a.zip", zip));
  EXPECT_TRUE(IsAllowedExtension("/a.zip?x=1", zip));
  EXPECT_TRUE(IsAllowedExtension("/", zip));
  EXPECT_TRUE(IsAllowedExtension("/a.zip", {}));
}

TEST(AdmissionRulesTest, EmptyForbiddenTextDoesNotRefuseEveryPath) {
  StringISet set{"", ".exe"};
  EXPECT_TRUE(IsAllowedExtension("/index.html", set));
  EXPECT_FALSE(IsAllowedExtension("/setup.EXE", set));
}
