#pragma once
#include <gtest/gtest.h>

#include "crawl/CrawlStartParams.h"

// The settings part of two start records is the same.
inline void ExpectSameSettings(const CrawlStartParams& a, const CrawlStartParams& b) {
  EXPECT_EQ(a.startUrl, b.startUrl);
  EXPECT_EQ(a.maxDepth, b.maxDepth);
  EXPECT_EQ(a.threadCount, b.threadCount);
  EXPECT_EQ(a.forbiddenExtensions, b.forbiddenExtensions);
  EXPECT_TRUE(a.rules == b.rules);
  EXPECT_TRUE(a.sitemap == b.sitemap);
  EXPECT_EQ(a.includePatterns, b.includePatterns);
  EXPECT_EQ(a.excludePatterns, b.excludePatterns);
}
