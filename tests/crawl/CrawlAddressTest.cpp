#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "CrawlTestSite.h"
#include "crawl/CrawlStatus.h"
#include "store/UrlState.h"

namespace {

// Answers every address with a page; the root links to /a.html. Keeps the addresses asked for.
class FakeWeb {
 public:
  CSitemapControl::PageFetcher Fetcher() {
    return [this](const std::string& address, std::string& headers, std::string& body) {
      {
        std::lock_guard<std::mutex> guard(lock_);
        addresses_.push_back(address);
      }
      headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html";
      const bool root = address.size() >= 1 && address.back() == '/';
      body = "\r\n\r\n" + PageWithLinks(root ? std::vector<std::string>{"/a.html"} : std::vector<std::string>{});
      return 0;
    };
  }
  std::vector<std::string> addresses() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> sorted = addresses_;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
  }

 private:
  std::mutex lock_;
  std::vector<std::string> addresses_;
};

struct AddressCase {
  std::string name;
  std::string startUrl;
  std::string expectedPrefix;
};

class CrawlAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(CrawlAddressTest, FetchedAndShownAddressesKeepTheSchemeAndPortOfTheStartAddress) {
  const AddressCase& c = GetParam();
  FakeWeb web;
  CrawlRun run;
  run.prepare = [&web](CSitemapControl& c) { c.SetPageFetcher(web.Fetcher()); };
  ASSERT_TRUE(run.Crawl(c.startUrl, {}));

  EXPECT_EQ(web.addresses(), (std::vector<std::string>{c.expectedPrefix + "/", c.expectedPrefix + "/a.html"}));
  EXPECT_EQ(run.control->Host(), "example.test");  // the host alone
  std::set<std::string> sitemap;
  std::vector<std::string> listed;
  for (const CrawlPortion& p : run.portions) {
    sitemap.insert(p.sitemapAddresses.begin(), p.sitemapAddresses.end());
    listed.insert(listed.end(), p.okAddresses.begin(), p.okAddresses.end());
  }
  EXPECT_EQ(sitemap, (std::set<std::string>{c.expectedPrefix + "/", c.expectedPrefix + "/a.html"}));
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{c.expectedPrefix + "/", c.expectedPrefix + "/a.html"}));
  EXPECT_EQ(FullAddress(run.control->Origin(), "/x?y=1"), c.expectedPrefix + "/x?y=1");
}

INSTANTIATE_TEST_SUITE_P(Schemes, CrawlAddressTest,
                         ::testing::Values(AddressCase{"Http", "http://example.test/start.html", "http://example.test"},
                                           AddressCase{"Https", "https://example.test/", "https://example.test"},
                                           AddressCase{"HttpsUpperCase", "HTTPS://example.test", "https://example.test"},
                                           AddressCase{"HttpWithPort", "http://example.test:8080/", "http://example.test:8080"},
                                           AddressCase{"HttpsWithPort", "https://example.test:8443/a",
                                                       "https://example.test:8443"}),
                         [](const ::testing::TestParamInfo<AddressCase>& info) { return info.param.name; });

TEST(CrawlAddressFailureTest, ANegativeClientResultBecomesTheFailureCode) {
  CrawlRun run;
  run.prepare = [](CSitemapControl& c) {
    c.SetPageFetcher([](const std::string&, std::string&, std::string&) { return -100; });
  };
  ASSERT_TRUE(run.Crawl("http://example.test/", {}));
  EXPECT_EQ(run.entries, (std::vector<std::pair<std::string, std::string>>{{"/", "-100"}}));
}

TEST(CrawlAddressFailureTest, ATransferErrorAndARedirectFailWithTheirCodesAndTheRedirectLeadsOn) {
  CrawlRun run;
  run.prepare = [](CSitemapControl& c) {
    c.SetPageFetcher([](const std::string& address, std::string& headers, std::string& body) {
      if (address.back() == '/') {
        headers = "HTTP/1.1 200 OK";
        body = "\r\n\r\n" + PageWithLinks({"/moved", "/down"});
        return 0;
      }
      if (address.find("/moved") != std::string::npos) {
        headers = "HTTP/1.1 301 Moved Permanently\r\nLocation: /elsewhere";
        body = "\r\n\r\n" + PageWithLinks({"/from-redirect"});
        return 0;
      }
      return 7;  // could not connect
    });
  };
  ASSERT_TRUE(run.Crawl("http://example.test/", {}));
  std::vector<std::pair<std::string, std::string>> sorted = run.entries;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::pair<std::string, std::string>>{
                        {"/", "200"}, {"/down", "curl 7"}, {"/elsewhere", "curl 7"}, {"/moved", "301"}}));
  // The redirect's own body is no page: its links are not followed.
  EXPECT_EQ(run.control->data().ledger.stores().memory().Exists("/from-redirect"), 0);
  EXPECT_EQ(run.control->Counters().failed, 3);
}

}  // namespace
