#pragma once
#include <gtest/gtest.h>

#include "crawl/CrawlStartParams.h"

// How two start records connect is the same: this run's part, which no journal keeps.
inline void ExpectSameConnection(const CrawlStartParams& a, const CrawlStartParams& b) {
  ASSERT_EQ(a.httpOptions.has_value(), b.httpOptions.has_value());
  EXPECT_EQ(a.maxRate, b.maxRate);
  if (!a.httpOptions) return;
  const http_options& x = *a.httpOptions;
  const http_options& y = *b.httpOptions;
  EXPECT_EQ(x.totalTimeout, y.totalTimeout);
  EXPECT_EQ(x.connectTimeout, y.connectTimeout);
  EXPECT_EQ(x.user, y.user);
  EXPECT_EQ(x.password, y.password);
  EXPECT_EQ(x.headers, y.headers);
  EXPECT_EQ(x.cookieFile, y.cookieFile);
  EXPECT_EQ(x.proxy, y.proxy);
  EXPECT_EQ(x.ignoreProxyEnvironment, y.ignoreProxyEnvironment);
  EXPECT_EQ(x.caFile, y.caFile);
  EXPECT_EQ(x.verifyTls, y.verifyTls);
}

// The settings part of two start records that the journal keeps is the same.
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
