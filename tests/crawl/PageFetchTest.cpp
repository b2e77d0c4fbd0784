#include "crawl/PageFetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <curl/curl.h>

namespace {

CrawlStartParams Params(const std::string& startUrl) {
  CrawlStartParams params;
  params.startUrl = startUrl;
  return params;
}

}  // namespace

// Credentials and further headers go to the site as typed and, once the root's redirects have
// led elsewhere on the site, there too: never to another host or port.
TEST(PageFetchTest, CredentialsGoOnlyToTheSiteAsTypedAndWhereItsRootLed) {
  const CrawlStartParams params = Params("http://example.test:8080/");
  SiteOrigin origin = OriginOf(params.startUrl);
  PageFetch fetch(params, [&origin] { return origin; }, [] { return false; });
  const http_options options = fetch.RequestOptions();
  ASSERT_TRUE(options.mayAuthenticate);

  // Whether each address may be sent them: while the root is all the crawl knows, and once
  // the root redirected to https on another port (the site now; the typed one stays).
  struct Case {
    const char* address;
    bool asTyped;
    bool afterRedirect;
  };
  const Case cases[] = {
      {"http://example.test:8080/a.html", true, true}, {"http://www.example.test:8080/b.html", true, true},
      {"https://example.test:8443/", false, true},     {"http://example.test:9090/", false, false},
      {"http://other.test:8080/", false, false},       {"http://other.test:8443/", false, false},
      {"not an address", false, false},
  };
  for (const Case& c : cases) EXPECT_EQ(options.mayAuthenticate(c.address), c.asTyped) << c.address;
  origin.scheme = "https";
  origin.port = ":8443";
  for (const Case& c : cases) EXPECT_EQ(options.mayAuthenticate(c.address), c.afterRedirect) << c.address;
  // The client follows no redirect itself: the crawl judges each.
  EXPECT_EQ(options.maxRedirects, 0);
}

// A request waiting for its turn under a long interval ends as a stopped transfer the moment
// the crawl stops, without asking the site.
TEST(PageFetchTest, AStopEndsTheWaitForATurnWithoutAskingTheSite) {
  CrawlStartParams params = Params("http://example.test/");
  params.rules.minIntervalMs = 10 * 60 * 1000;
  std::atomic<bool> stopped{false};
  std::atomic<int> asked{0};
  PageFetch fetch(params, [&params] { return OriginOf(params.startUrl); }, [&stopped] { return stopped.load(); });
  fetch.SetFetcher([&](const std::string&, std::string& headers, std::string& body) {
    ++asked;
    headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html";
    body = "<html></html>";
    stopped = true;  // the crawl stops while this page arrives
    return 0;
  });
  fetch.Begin();

  const FetchedPage first = fetch.Fetch("http://example.test/", nullptr);
  EXPECT_EQ(first.result, 0);
  EXPECT_EQ(StatusOf(first.headers), "200");
  const FetchedPage second = fetch.Fetch("http://example.test/a.html", nullptr);
  EXPECT_EQ(second.result, CURLE_ABORTED_BY_CALLBACK);
  EXPECT_EQ(asked.load(), 1);
}
