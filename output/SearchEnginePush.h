#pragma once
// Telling the search engines about a crawl's sitemap pages: Baidu's link push and IndexNow,
// each only when the user asked for it.
#include <cstddef>
#include <string>

#include "web/BaiduPush.h"
#include "web/IndexNowPush.h"
#include "web/http_options.h"

class CrawlResults;

// The user's settings for the engines (提交到搜索引擎).
struct SearchEngineSettings {
  std::string baiduSite;
  std::string baiduToken;
  std::string baiduEndpoint = "http://data.zz.baidu.com/urls";
  std::string indexNowKey;
  std::string indexNowEndpoint = "https://api.indexnow.org/indexnow";

  bool baiduReady() const { return !baiduSite.empty() && !baiduToken.empty(); }
  bool indexNowReady() const { return !indexNowKey.empty(); }
};

// What the user chose to send.
struct PushChoice {
  bool baidu = false;
  bool indexNow = false;
  size_t limit = 0;  // the first this many sitemap pages; 0: all of them
};

struct PushOutcome {
  size_t addresses = 0;  // the pages offered to each engine
  bool baiduTried = false;
  bool indexNowTried = false;
  BaiduPushReport baidu;
  IndexNowReport indexNow;
  std::string indexNowKey;  // the key the site must serve (public, unlike Baidu's token)

  bool ok() const { return (!baiduTried || baidu.ok()) && (!indexNowTried || indexNow.ok()); }
};

// Sends the sitemap pages of results to the chosen engines with the crawl's request options;
// blocks until both are done (each stops at its first problem).
PushOutcome PushToSearchEngines(const CrawlResults& results, const SearchEngineSettings& settings,
                                const PushChoice& choice, const http_options& http);
