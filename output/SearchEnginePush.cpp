#include "output/SearchEnginePush.h"

#include "output/CrawlResults.h"

PushOutcome PushToSearchEngines(const CrawlResults& results, const SearchEngineSettings& settings,
                                const PushChoice& choice, const http_options& http) {
  PushOutcome outcome;
  std::vector<std::string> addresses = results.PushAddresses();
  if (choice.limit != 0 && addresses.size() > choice.limit) addresses.resize(choice.limit);
  outcome.addresses = addresses.size();
  const SiteOrigin site = results.origin();
  if (choice.baidu) {
    outcome.baiduTried = true;
    BaiduPushSetup setup;
    setup.endpoint = settings.baiduEndpoint;
    setup.site = settings.baiduSite;
    setup.token = settings.baiduToken;
    setup.crawlHost = site.host;
    setup.http = http;
    outcome.baidu = PushToBaidu(setup, addresses);
  }
  if (choice.indexNow) {
    outcome.indexNowTried = true;
    outcome.indexNowKey = settings.indexNowKey;
    IndexNowSetup setup;
    setup.endpoint = settings.indexNowEndpoint;
    setup.key = settings.indexNowKey;
    setup.site = site;
    setup.http = http;
    outcome.indexNow = PushToIndexNow(setup, addresses);
  }
  return outcome;
}
