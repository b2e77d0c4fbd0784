#include "crawl/CSitemapControl.h"

#include <algorithm>
#include <boost/thread/locks.hpp>
#include <boost/thread/thread.hpp>
#include <chrono>
#include <exception>
#include <memory>
#include <vector>

#include "common/ResultCodes.h"
#include "common/StringICompare.h"
#include "crawl/AdmissionRules.h"
#include "crawl/CanonicalAddress.h"
#include "crawl/CrawlJournal.h"
#include "crawl/CrawlScheduler.h"
#include "crawl/PatternFilter.h"
#include "store/UrlState.h"
#include "web/CHttpSession.h"
#include "web/CurlShare.h"
#include "web/HeaderFields.h"
#include "web/LinkExtractor.h"
#include "render/PageRenderer.h"
#include "web/PageScratch.h"
#include "web/ResponseHeaders.h"
#include "web/HttpDate.h"
#include "web/TransferFailure.h"
#include "web/UrlRules.h"
#include "web/WebAddress.h"

namespace {

using SharedGuard = boost::shared_lock<boost::shared_mutex>;
using ExclusiveGuard = boost::unique_lock<boost::shared_mutex>;

// A worker's stack. A page needs far less than the default 8 MiB: the link extraction moves
// deeply nested pages to a thread of its own. 256 workers then reserve 256 MiB, not 2 GiB.
constexpr size_t kWorkerStack = size_t(1) << 20;

std::string StatusOf(const std::string& headers) {
  return headers.empty() ? std::string() : ExtractHeaderField(headers, kFieldStatus);
}

// Where a redirect answer points, resolved against the address it answered; false for any
// other answer, or a Location that is no http(s) address.
bool RedirectTarget(const std::string& status, const std::string& headers, const std::string& address,
                    WebAddress& target) {
  if (status.size() != 3 || status[0] != '3') return false;
  const std::string location = ResponseHeaders(headers).Field("Location");
  return !location.empty() && ResolveWebReference(address, location, target);
}

// The redirect hops that share the crawl's scheme, host spelling and port are its pages.
bool IsSameOrigin(const SiteOrigin& origin, const WebAddress& address) {
  return address.scheme == origin.scheme && EqualsIgnoreCase(address.host, origin.host) && address.port == origin.port;
}

}  // namespace

// As many large pages parsed at once as there are processors to parse them.
CSitemapControl::CSitemapControl(const CrawlStartParams& params, std::shared_ptr<CrawlResultConsumer> consumer)
    : data_(std::make_shared<CSitemapData>(params)),
      consumer_(std::move(consumer)),
      httpOptions_(params.httpOptions.value_or(http_options{})),
      parseGate_(std::max(2u, boost::thread::hardware_concurrency())) {
  if (!params.journalPath.empty()) journal_ = std::make_unique<CrawlJournal>(params.journalPath);
}

CSitemapControl::~CSitemapControl() = default;

std::string CSitemapControl::Host() const {
  SharedGuard guard(data_->hostLock);
  return data_->host;
}

RenderStop CSitemapControl::RenderNotice() const { return renderNotice_.load(); }

void CSitemapControl::GiveUpRendering(RenderStop why) {
  RenderStop none = RenderStop::None;
  renderNotice_.compare_exchange_strong(none, why);
}

SiteOrigin CSitemapControl::Origin() const {
  SharedGuard guard(data_->hostLock);
  return data_->origin;
}

CrawlCounters CSitemapControl::Counters() const {
  SharedGuard guard(data_->counterLock);
  return data_->counters;
}

void CSitemapControl::SetPageFetcher(PageFetcher fetcher) { fetcher_ = std::move(fetcher); }

http_options CSitemapControl::RequestOptions() const {
  http_options options = httpOptions_;
  options.maxRedirects = 0;
  if (!params().rules.userAgent.empty()) options.userAgent = params().rules.userAgent;
  // Stop ends the transfers that run, not only the ones still to come.
  options.cancelled = [this] { return IsStopRequested(); };
  return options;
}

CSitemapControl::FetchedPage CSitemapControl::Fetch(const std::string& address, CHttpSession* session,
                                                   std::string* storage) {
  FetchedPage page;
  if (storage) {
    page.body.swap(*storage);  // its room, not its text
    page.body.clear();
  }
  if (!pacer_.WaitTurn([this] { return IsStopRequested(); })) {
    page.result = CURLE_ABORTED_BY_CALLBACK;  // stopped before its turn, as a stopped transfer ends
    return page;
  }
  if (fetcher_) {
    page.result = fetcher_(address, page.headers, page.body);
    return page;
  }
  if (session) {
    page.result = session->Fetch(address, page.headers, page.body);
    return page;
  }
  CHttpSession own(address);
  own.options() = RequestOptions();
  page.result = own.Fetch(page.headers, page.body);
  return page;
}

int32_t CSitemapControl::RunCrawl() {
  int32_t result = rc::kOk;
  try {
    const std::string& startUrl = params().startUrl;
    std::string host = HostOf(startUrl);
    if (host.empty()) {
      result = rc::kParse;
    } else {
      SiteOrigin origin = OriginOf(startUrl);
      origin.host = host;
      pacer_.Reset(std::chrono::milliseconds(params().rules.minIntervalMs));
      PrepareRenderer();
      bool resumed = false;
      if (journal_ && params().resume) result = ResumeSite(resumed);
      if (!resumed && result == rc::kOk) result = OpenSite(origin);
      if (result == rc::kOk) result = RunWorkers();
    }
    HandOverResults(true);
  } catch (...) {
    result = rc::kGeneral;
  }
  // The browser goes with the crawl's last page, its profile with it.
  renderer_.reset();
  if (IsStopRequested() && result == rc::kOk) result = rc::kStopped;
  data_->stores->database().Close();
  // A crawl that has ended needs no journal; a stopped one keeps it for a later resume.
  if (journal_) journal_->Close(result == rc::kOk);
  if (consumer_) consumer_->OnFinished(result);
  return result;
}

int32_t CSitemapControl::OpenSite(const SiteOrigin& typed) {
  struct Hop {
    WebAddress address;
    FetchedPage page;
  };
  const bool obey = params().rules.obeyRobots;
  std::vector<Hop> hops;
  WebAddress address;
  address.scheme = typed.scheme;
  address.host = typed.host;
  address.port = typed.port;
  address.pathAndQuery = "/";
  CHttpSession session;
  session.options() = RequestOptions();
  RobotsPolicy robots;
  if (obey) robots = FetchRobots(typed, session);
  if (IsStopRequested()) return rc::kStopped;
  UsePolicy(robots);
  if (!obey || robots.IsAllowed(address.pathAndQuery)) {
    FetchedPage page = Fetch(ToText(address), &session);
    for (int32_t n = 0; n < httpOptions_.maxRedirects && !IsStopRequested(); ++n) {
      WebAddress target;
      if (!RedirectTarget(StatusOf(page.headers), page.headers, ToText(address), target)) break;
      if (!IsSameHost(target.host, typed.host)) break;  // another site: listed, not followed
      bool seen = ToText(target) == ToText(address);
      for (const Hop& hop : hops) seen = seen || ToText(hop.address) == ToText(target);
      if (seen) break;
      if (obey) {
        // Another scheme or port is another origin, with a robots.txt of its own.
        RobotsPolicy there = IsSameOrigin(OriginOf(address), target) ? robots : FetchRobots(OriginOf(target), session);
        if (!there.IsAllowed(target.pathAndQuery)) break;  // listed; its target is refused below
        robots = std::move(there);
        UsePolicy(robots);
      }
      hops.push_back({address, std::move(page)});
      address = target;
      page = Fetch(ToText(address), &session);
    }
    if (IsStopRequested()) return rc::kStopped;
    hops.push_back({address, std::move(page)});
  }

  const SiteOrigin origin = OriginOf(address);
  {
    ExclusiveGuard guard(data_->hostLock);
    data_->host = origin.host;
    data_->origin = origin;
  }
  data_->robots = std::move(robots);
  if (journal_) journal_->Begin(params(), origin);
  if (hops.empty()) {
    // robots.txt refuses the root itself: nothing of the site may be requested.
    int32_t depth = 0;
    if (data_->stores->TryAdd(address.pathAndQuery, "", params().maxDepth, depth)) {
      data_->stores->SetState(address.pathAndQuery, NotAllowed);
      MoveCounters([](CrawlCounters& c) { c.notAllowed += 1; });
    }
    return rc::kOk;
  }
  // Every address already fetched is in the store before any is handled, so that neither
  // the hops' Location nor the first page's links fetch one of them again. The last hop is
  // the first page.
  std::vector<Hop*> onSite;
  for (Hop& hop : hops)
    if (IsSameOrigin(origin, hop.address) && SeedStartPage(hop.address.pathAndQuery)) onSite.push_back(&hop);
  for (Hop* hop : onSite) HandleResponse(hop->address.pathAndQuery, hop->page);
  return rc::kOk;
}

RobotsPolicy CSitemapControl::FetchRobots(const SiteOrigin& origin, CHttpSession& session) {
  // Crawlers follow a few redirects of robots.txt, to other hosts too.
  constexpr int kRobotsRedirects = 5;
  std::string address = RobotsTxtAddress(origin);
  FetchedPage page = Fetch(address, &session);
  for (int hop = 0; hop < kRobotsRedirects && !IsStopRequested(); ++hop) {
    WebAddress target;
    if (!RedirectTarget(StatusOf(page.headers), page.headers, address, target)) break;
    address = ToText(target);
    page = Fetch(address, &session);
  }
  std::string_view body = page.body;
  if (body.substr(0, 4) == "\r\n\r\n") body.remove_prefix(4);  // the blank line after the headers
  return RobotsPolicyOf(page.result, StatusOf(page.headers), body, RobotsProductToken(params().rules.userAgent));
}

void CSitemapControl::UsePolicy(const RobotsPolicy& robots) {
  // A site's Crawl-delay is the interval when it asks for more than the rules do.
  if (params().rules.obeyRobots)
    pacer_.SetInterval(std::chrono::milliseconds(robots.IntervalMs(params().rules.minIntervalMs)));
}

bool CSitemapControl::RobotsAllow(const std::string& path) const {
  return !params().rules.obeyRobots || data_->robots.IsAllowed(path);
}

bool CSitemapControl::SeedStartPage(const std::string& path) {
  int32_t depth = 0;
  if (!data_->stores->TryAdd(path, "", params().maxDepth, depth)) return false;
  JournalAdmitted(path, "", depth, false, false);
  MoveCounters([](CrawlCounters& c) { c.waiting += 1; });
  MoveCounters([](CrawlCounters& c) {
    c.crawling += 1;
    c.waiting -= 1;
  });
  return true;
}

int32_t CSitemapControl::RunWorkers() {
  CrawlStores& stores = *data_->stores;
  std::vector<std::string> taken;
  CrawlScheduler scheduler(
      [&](std::string& path) {
        if (stores.TakeBatch(taken, 1) <= 0 || taken.empty()) return false;
        path.swap(taken.front());
        MoveCounters([](CrawlCounters& c) {
          c.crawling += 1;
          c.waiting -= 1;
        });
        return true;
      },
      [this] { return IsStopRequested(); });
  CurlShare share;
  // The thread setting is the number of pages fetched at once; 0 or less still crawls.
  const size_t count = params().threadCount < 1 ? 1 : static_cast<size_t>(params().threadCount);
  std::vector<std::unique_ptr<boost::thread>> workers;
  boost::thread::attributes attrs;
  attrs.set_stack_size(kWorkerStack);
  for (size_t i = 0; i < count; ++i) {
    try {
      workers.push_back(std::make_unique<boost::thread>(attrs, [&] { WorkLoop(scheduler, share); }));
    } catch (...) {
      break;  // as many workers as the system gives
    }
  }
  if (workers.empty()) WorkLoop(scheduler, share);
  for (auto& worker : workers) {
    // Results of a slow site are handed over while the workers wait for it.
    while (!worker->try_join_for(boost::chrono::milliseconds(kHandOverInterval.count() / 2))) HandOverResults();
  }
  return IsStopRequested() ? rc::kStopped : rc::kOk;
}

void CSitemapControl::WorkLoop(CrawlScheduler& scheduler, CurlShare& share) {
  CHttpSession session;
  session.options() = RequestOptions();
  session.UseShare(&share);
  PageScratch scratch;
  std::string path;
  while (scheduler.Next(path)) {
    ProcessPage(path, &session, &scratch);
    scheduler.Done();
  }
}

int32_t CSitemapControl::ProcessPage(const std::string& path, CHttpSession* session, PageScratch* scratch) {
  if (path.empty()) return rc::kEmpty;
  try {
    FetchedPage page = Fetch(FullAddress(Origin(), path), session, scratch ? &scratch->body : nullptr);
    if (IsStopRequested() && page.result == CURLE_ABORTED_BY_CALLBACK) {
      // Cut short by the stop: the page was not crawled and waits again.
      data_->stores->SetState(path, Waiting);
      MoveCounters([](CrawlCounters& c) {
        c.crawling -= 1;
        c.waiting += 1;
      });
      return rc::kStopped;
    }
    HandleResponse(path, page, scratch);
  } catch (...) {
    // Out of memory inside a page: the page is dropped, the crawl goes on.
    return rc::kNoMemory;
  }
  return rc::kOk;
}

void CSitemapControl::HandleResponse(const std::string& path, FetchedPage& page, PageScratch* scratch) {
  const SiteOrigin origin = Origin();
  const std::string address = FullAddress(origin, path);
  std::string code = StatusOf(page.headers);
  std::string lastmod;
  bool inSitemap = true;
  LanguageAlternates alternates;
  CrawlStores& stores = *data_->stores;
  if (page.result == 0 && !page.body.empty() && code == "200") {
    stores.SetState(path, Crawled);
    PageLinks links;
    LinkOptions options;
    options.obeyRobots = params().rules.obeyRobots;
    options.productToken = RobotsProductToken(params().rules.userAgent);
    options.readCanonical = params().sitemap.canonicalOnly;
    options.readAlternates = params().sitemap.languageAlternates;
    bool parsed = false;
    {
      LargePageGate::Pass pass = parseGate_.Enter(page.body.size(), [this] { return IsStopRequested(); });
      if (pass && scratch) ExtractLinks(page.headers, page.body, origin, address, links, options, *scratch);
      else if (pass) ExtractLinks(page.headers, page.body, origin, address, links, options);
      parsed = static_cast<bool>(pass);
    }
    // A render the stop cut short leaves the page's links unknown, as an unparsed page's are.
    if (parsed && renderer_) parsed = AddRenderedLinks(address, page, links, options, scratch);
    // The links are all that is needed of a page from here on; a worker keeps the room of a
    // page of the usual size for its next one.
    if (scratch && page.body.capacity() <= PageScratch::kKeptBytes) scratch->body.swap(page.body);
    else std::string().swap(page.body);
    if (!parsed) {
      // Stopped while waiting to be parsed: its links are unknown, so it is not crawled after
      // all and waits again, as a page whose transfer the stop cut short.
      stores.SetState(path, Waiting);
      MoveCounters([](CrawlCounters& c) {
        c.crawling -= 1;
        c.waiting += 1;
      });
      return;
    }
    // Counted as crawling until its links are read (rendering takes a while), so the counters
    // never show an idle crawl while pages are still being read.
    MoveCounters([](CrawlCounters& c) {
      c.crawling -= 1;
      c.crawledOk += 1;
    });
    // A page listed as crawled has its links admitted, after a stop too: no page starts any
    // more, and a resumed crawl goes on from them.
    AdmitLinks(links.internal, path);
    // Sitemap content: the canonical page is listed in this one's place.
    const CanonicalVerdict canonical = JudgeCanonical(links.canonical, path, origin);
    AdmitLink(canonical.admitPath, path);
    inSitemap = canonical.listed;
    alternates = std::move(links.alternates);
    if (links.noindex) {
      // Crawled, and left out of the results as an excluded page is.
      MoveCounters([](CrawlCounters& c) { c.excluded += 1; });
      JournalFinished(path, "200", "", true);
      HandOverResults();
      return;
    }
    if (params().rules.lastmodFromHeader)
      lastmod = W3cDateOfHttpDate(ResponseHeaders(page.headers).Field("Last-Modified")).value_or("");
  } else {
    stores.SetState(path, Failed);
    MoveCounters([](CrawlCounters& c) {
      c.crawling -= 1;
      c.failed += 1;
    });
    // A transfer that ended without an answer: libcurl's code ("curl 7") or the client's own.
    if (page.result != 0) code = TransferFailureCode(page.result);
    stores.SetFailed(path, code);
    // A redirect inside the site leads to a page like a link on it would.
    WebAddress target;
    if (RedirectTarget(code, page.headers, address, target) && IsOnSite(origin, target))
      AdmitLink(target.pathAndQuery, path);
  }
  RecordResult(PageResult{path, code, lastmod, 0, {}, inSitemap, std::move(alternates)});
  HandOverResults();
}

void CSitemapControl::PrepareRenderer() {
  if (!params().rules.renderScripts) return;
  RenderOptions options;
  if (!PageRenderer::Available(options.executable)) {
    // The crawl goes on as it would without the setting, and says why.
    GiveUpRendering(RenderStop::BrowserMissing);
    return;
  }
  // A page may take as long to settle as a fetch may take.
  options.timeoutMs = std::max(1, httpOptions_.totalTimeout) * 1000;
  options.userAgent = params().rules.userAgent;
  options.tabs = std::max(1, params().threadCount);
  options.mayRequest = [this](const std::string& address) {
    WebAddress target;
    return ParseWebAddress(address, target) && IsOnSite(Origin(), target);
  };
  options.waitTurn = [this] { return pacer_.WaitTurn([this] { return IsStopRequested(); }); };
  options.stopped = [this] { return IsStopRequested(); };
  renderer_ = std::make_unique<PageRenderer>(std::move(options));
}

bool CSitemapControl::AddRenderedLinks(const std::string& address, const FetchedPage& page, PageLinks& links,
                                       const LinkOptions& options, PageScratch* scratch) {
  if (IsStopRequested()) return false;
  if (!page.headers.empty() && !ResponseHeaders(page.headers).IsHtml()) return true;
  PageMarkup markup;
  const RenderOutcome outcome = renderer_->Render(address, page.headers, page.body, markup);
  if (renderer_->GivenUp()) GiveUpRendering(RenderStop::BrowserDiedTwice);
  if (outcome == RenderOutcome::kNotRendered && IsStopRequested()) return false;
  if (outcome != RenderOutcome::kRendered && outcome != RenderOutcome::kTimedOut) return true;
  PageScratch own;
  PageLinks rendered;
  if (AddMarkupLinks(markup, Origin(), address, rendered, options, scratch ? *scratch : own) != rc::kOk) return true;
  // What the served page says holds; the rendered document adds to it.
  links.internal.merge(rendered.internal);
  links.external.merge(rendered.external);
  links.noindex = links.noindex || rendered.noindex;
  if (links.canonical.empty()) links.canonical = std::move(rendered.canonical);
  if (links.alternates.empty()) links.alternates = std::move(rendered.alternates);
  return true;
}

void CSitemapControl::AdmitLinks(const LinkSet& links, const std::string& parent) {
  for (const std::string& link : links) AdmitLink(link, parent);
}

void CSitemapControl::AdmitLink(const std::string& link, const std::string& parent) {
  if (link.empty()) return;
  CrawlStores& stores = *data_->stores;
  int32_t level = 0;
  if (!stores.TryAdd(link, parent, params().maxDepth, level)) return;
  if (!IsAllowedExtension(link, params().forbiddenExtensions) || !RobotsAllow(link)) {
    stores.SetState(link, NotAllowed);
    MoveCounters([](CrawlCounters& c) { c.notAllowed += 1; });
    JournalAdmitted(link, parent, level, true, false);
    return;
  }
  if (level > params().maxDepth) {
    MoveCounters([](CrawlCounters& c) { c.tooDeep += 1; });
  } else {
    MoveCounters([](CrawlCounters& c) { c.waiting += 1; });
  }
  const bool excluded = data_->patterns.IsExcluded(link);
  if (excluded) {
    stores.SetExcluded(link, 1);
    MoveCounters([](CrawlCounters& c) { c.excluded += 1; });
  }
  JournalAdmitted(link, parent, level, false, excluded);
}

void CSitemapControl::RecordResult(const std::string& path, const std::string& code, const std::string& lastmod) {
  PageResult result;
  result.path = path;
  result.code = code;
  result.lastmod = lastmod;
  RecordResult(std::move(result));
}

void CSitemapControl::RecordResult(PageResult result) {
  JournalFinished(result.path, result.code, result.lastmod, false);
  if (data_->stores->GetExcluded(result.path) != 0) return;
  data_->stores->Lineage(result.path, result.depth, result.parent);
  ExclusiveGuard guard(data_->pendingLock);
  data_->pendingResults.push_back(std::move(result));
}

int32_t CSitemapControl::HandOverResults(bool force) {
  CSitemapData& d = *data_;
  {
    SharedGuard guard(d.pendingLock);
    if (d.pendingResults.empty()) return rc::kOk;
    const bool due = force || d.pendingResults.size() > kHandOverThreshold ||
                     std::chrono::steady_clock::now() - d.lastHandOver >= kHandOverInterval;
    if (!due) return rc::kOk;
  }
  bool idle = false;
  if (!handOverBusy_.compare_exchange_strong(idle, true)) return rc::kOk;  // the next one takes them
  try {
    GivePending(force);
  } catch (...) {
    handOverBusy_.store(false);
    return rc::kNoMemory;
  }
  handOverBusy_.store(false);
  return rc::kOk;
}

bool CSitemapControl::GivePending(bool last) {
  std::vector<PageResult> results;
  {
    ExclusiveGuard guard(data_->pendingLock);
    results.swap(data_->pendingResults);
    data_->lastHandOver = std::chrono::steady_clock::now();
  }
  if (results.empty()) return false;
  CrawlPortion portion = MakePortion(Origin(), results);
  // The last portion waits for nobody: the crawl ends, and the front end takes it when it can.
  if (consumer_) consumer_->OnPortion(std::move(portion), [this, last] { return last || IsStopRequested(); });
  return true;
}

// ---- The journal: kept while the crawl runs, read back when it goes on -------------------

int32_t CSitemapControl::ResumeSite(bool& resumed) {
  JournalReplay replay;
  if (journal_->Resume(params().startUrl, replay) != rc::kOk) return rc::kOk;  // starts afresh
  if (params().rules.obeyRobots) {
    CHttpSession session;
    session.options() = RequestOptions();
    RobotsPolicy robots = FetchRobots(replay.origin, session);
    if (IsStopRequested()) return rc::kStopped;
    UsePolicy(robots);
    data_->robots = std::move(robots);
  }
  {
    ExclusiveGuard guard(data_->hostLock);
    data_->host = replay.origin.host;
    data_->origin = replay.origin;
  }
  CIntUrlData& memory = data_->stores->memory();
  for (const JournalReplay::Url& url : replay.urls) memory.Restore(url.path, url.record);
  MoveCounters([&](CrawlCounters& c) { c = replay.counters; });
  resumed = true;
  // The front end fills its lists and sitemap from the journal before any new page comes.
  for (size_t first = 0; first < replay.results.size() && consumer_; first += kHandOverThreshold) {
    const size_t last = std::min(replay.results.size(), first + kHandOverThreshold);
    std::vector<PageResult> part(replay.results.begin() + first, replay.results.begin() + last);
    consumer_->OnPortion(MakePortion(replay.origin, part), [this] { return IsStopRequested(); });
  }
  return IsStopRequested() ? rc::kStopped : rc::kOk;
}

void CSitemapControl::JournalAdmitted(const std::string& link, const std::string& parent, int32_t level,
                                      bool refused, bool excluded) {
  if (!journal_) return;
  using Admission = CrawlJournal::Admission;
  const Admission admission =
      refused ? Admission::Refused : (level > params().maxDepth ? Admission::TooDeep : Admission::Waiting);
  journal_->Admitted(link, parent, level, admission, excluded);
}

void CSitemapControl::JournalFinished(const std::string& path, const std::string& code, const std::string& lastmod,
                                      bool noindex) {
  if (!journal_) return;
  url_prop record;
  if (!data_->stores->memory().Read(path, record)) return;
  using Listing = CrawlJournal::Listing;
  const Listing listing = noindex ? Listing::Noindex : (record.excludedFlag != 0 ? Listing::Excluded : Listing::Listed);
  journal_->Finished(path, record.depth, record.state, code, lastmod, listing);
}
