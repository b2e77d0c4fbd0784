#include "crawl/PageFetch.h"

#include <algorithm>
#include <ctime>
#include <optional>

#include "web/CHttpSession.h"
#include "web/CurlShare.h"
#include "web/ResponseHeaders.h"
#include "web/RetryAfter.h"
#include "web/SitemapFeed.h"
#include "web/UrlRules.h"
#include "web/WebAddress.h"

PageFetch::PageFetch(const CrawlStartParams& params, std::function<SiteOrigin()> origin,
                     std::function<bool()> stopped)
    : params_(params),
      origin_(std::move(origin)),
      stopped_(std::move(stopped)),
      httpOptions_(params.httpOptions.value_or(http_options{})),
      share_(std::make_unique<CurlShare>(!httpOptions_.cookieFile.empty())),
      typedOrigin_(OriginOf(params.startUrl)) {
  typedOrigin_.host = HostOf(params.startUrl);
}

PageFetch::~PageFetch() = default;

void PageFetch::Begin() {
  pacer_.Reset(std::chrono::milliseconds(BaseIntervalMs()));
  if (!httpOptions_.cookieFile.empty()) share_->LoadCookieFile(httpOptions_.cookieFile);
}

http_options PageFetch::RequestOptions() const {
  http_options options = httpOptions_;
  options.maxRedirects = 0;
  if (!params_.rules.userAgent.empty()) options.userAgent = params_.rules.userAgent;
  // Stop ends the transfers that run, not only the ones still to come.
  options.cancelled = stopped_;
  options.mayAuthenticate = [this](const std::string& address) { return MayAuthenticate(address); };
  return options;
}

void PageFetch::Prepare(CHttpSession& session) {
  session.options() = RequestOptions();
  session.UseShare(share_.get());
}

bool PageFetch::MayAuthenticate(const std::string& address) const {
  // The site as typed and where its root's redirects led (www. or not, the same port): a
  // robots.txt or a page that redirects to another host gets neither credentials nor headers.
  WebAddress target;
  if (!ParseWebAddress(address, target)) return false;
  return IsOnSite(typedOrigin_, target) || IsOnSite(origin_(), target);
}

int32_t PageFetch::BaseIntervalMs() const {
  int32_t interval = std::max(0, params_.rules.minIntervalMs);
  // N requests a second are one every 1000/N ms, rounded up so the rate is never passed.
  if (params_.maxRate > 0) interval = std::max(interval, (1000 + params_.maxRate - 1) / params_.maxRate);
  return interval;
}

bool PageFetch::WaitTurn() { return pacer_.WaitTurn(stopped_); }

FetchedPage PageFetch::Fetch(const std::string& address, CHttpSession* session, std::string* storage) {
  FetchedPage page;
  if (storage) {
    page.body.swap(*storage);  // its room, not its text
    page.body.clear();
  }
  for (int tries = 1;; ++tries) {
    if (!pacer_.WaitTurn(stopped_)) {
      page.result = CURLE_ABORTED_BY_CALLBACK;  // stopped before its turn, as a stopped transfer ends
      return page;
    }
    FetchOnce(address, session, page);
    if (page.result != 0 || tries >= kBusyTries) return page;
    const std::string status = StatusOf(page.headers);
    if (status != "429" && status != "503") return page;
    // A busy site: the whole crawl holds back for as long as it asks (or 1, 2, 4 s), then
    // this page is asked again.
    const std::optional<std::chrono::seconds> asked =
        RetryAfterWait(ResponseHeaders(page.headers).Field("Retry-After"), std::time(nullptr));
    pacer_.Pause(asked.value_or(std::chrono::seconds(1 << (tries - 1))));
  }
}

void PageFetch::FetchOnce(const std::string& address, CHttpSession* session, FetchedPage& page) {
  page.headers.clear();
  if (fetcher_) {
    page.result = fetcher_(address, page.headers, page.body);
    return;
  }
  if (session) {
    page.result = session->Fetch(address, page.headers, page.body);
    return;
  }
  CHttpSession own(address);
  own.options() = RequestOptions();
  own.UseShare(share_.get());
  page.result = own.Fetch(page.headers, page.body);
}

int32_t PageFetch::FetchDocument(const std::string& address, std::string& headers, SitemapFeed& feed,
                                 CHttpSession& session) {
  if (!pacer_.WaitTurn(stopped_)) return CURLE_ABORTED_BY_CALLBACK;
  if (fetcher_) {
    std::string body;
    const int32_t result = fetcher_(address, headers, body);
    if (body.substr(0, 4) == "\r\n\r\n") body.erase(0, 4);
    feed.Add(body.data(), body.size());
    return result;
  }
  return session.FetchStream(address, headers, [&feed](const char* bytes, size_t n) { return feed.Add(bytes, n); });
}

void PageFetch::UsePolicy(const RobotsPolicy& robots) {
  // A site's Crawl-delay is the interval when it asks for more than the rules do.
  if (params_.rules.obeyRobots)
    pacer_.SetInterval(std::chrono::milliseconds(robots.IntervalMs(BaseIntervalMs())));
}
