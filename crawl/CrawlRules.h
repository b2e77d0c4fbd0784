#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The rules a crawl keeps towards the site, from the settings page 抓取规则 (or the headless
// command's options). The defaults crawl as the program always did.
struct CrawlRules {
  bool obeyRobots = false;       // robots.txt, <meta name="robots"> and rel="nofollow"
  int32_t minIntervalMs = 0;     // least time between the starts of two requests, all workers together
  std::string userAgent;         // sent as the User-Agent; empty sends libcurl's empty default
  // Each HTML page is also rendered in a headless browser and the links its scripts write are
  // followed too.
  bool renderScripts = false;
  // The URL rules (网址规则). Query parameters taken off every address before it is admitted
  // (names; "*" any text), or all of them but the kept ones.
  std::vector<std::string> removeParams;
  bool removeAllParams = false;
  std::vector<std::string> keepParams;
  // Addresses never fetched, followed or listed (the include and exclude patterns' wildcards).
  std::vector<std::string> skipPatterns;
  int32_t maxPages = 0;  // no fetch starts once this many pages are fetched; 0: no limit
  // The site's own sitemap is read and checked against the crawl; the addresses only it
  // names are fetched after the crawl (their links not followed).
  bool auditSitemap = false;

  bool operator==(const CrawlRules&) const = default;
};
