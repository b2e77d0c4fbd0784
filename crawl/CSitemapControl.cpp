#include "crawl/CSitemapControl.h"

#include <algorithm>
#include <boost/thread/locks.hpp>
#include <chrono>
#include <exception>
#include <memory>
#include <vector>

#include "common/ResultCodes.h"
#include "crawl/CanonicalAddress.h"
#include "crawl/CrawlScheduler.h"
#include "crawl/SiteOpener.h"
#include "crawl/WorkerPool.h"
#include "web/CHttpSession.h"
#include "web/CurlShare.h"
#include "web/PageScratch.h"
#include "web/UrlRules.h"
#include "web/WebAddress.h"

namespace {

using SharedGuard = boost::shared_lock<boost::shared_mutex>;
using ExclusiveGuard = boost::unique_lock<boost::shared_mutex>;

}  // namespace

CSitemapControl::CSitemapControl(const CrawlStartParams& params, std::shared_ptr<CrawlResultConsumer> consumer)
    : data_(std::make_shared<CSitemapData>(params)),
      consumer_(std::move(consumer)),
      batcher_(consumer_, [this] { return Origin(); }, [this] { return IsStopRequested(); }),
      fetch_(data_->params, [this] { return Origin(); }, [this] { return IsStopRequested(); }),
      rendered_(data_->params, fetch_, [this] { return Origin(); }, [this] { return IsStopRequested(); }),
      dating_(params.sitemap.lastmodFrom, params.historyFolder),
      admission_(*data_),
      check_(*data_, fetch_, admission_, [this] { return IsStopRequested(); }),
      reader_(data_->params, check_.active(), fetch_.options().totalTimeout, rendered_,
              [this] { return IsStopRequested(); }) {}

CSitemapControl::~CSitemapControl() = default;

std::string CSitemapControl::Host() const {
  SharedGuard guard(data_->hostLock);
  return data_->host;
}

SiteOrigin CSitemapControl::Origin() const {
  SharedGuard guard(data_->hostLock);
  return data_->origin;
}

CrawlCounters CSitemapControl::Counters() const { return data_->ledger.Counters(); }

void CSitemapControl::SetPageFetcher(PageFetcher fetcher) { fetch_.SetFetcher(std::move(fetcher)); }

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
      fetch_.Begin();
      rendered_.Prepare();
      bool resumed = false;
      if (data_->ledger.journaled() && params().resume) result = ResumeSite(resumed);
      if (!resumed && result == rc::kOk) result = OpenSite(origin);
      if (result == rc::kOk && check_.active()) {
        // With the crawl's cookies: a site that needs its session cookie needs it here too.
        CHttpSession session;
        fetch_.Prepare(session);
        check_.ReadSiteSitemaps(session, Origin());
      }
      if (result == rc::kOk) result = RunWorkers();
      if (result == rc::kOk && check_.active()) result = check_.FetchOrphans([this] { return RunWorkers(); });
    }
    HandOverResults(true);
  } catch (...) {
    result = rc::kGeneral;
  }
  // The browser goes with the crawl's last page, its profile with it.
  rendered_.End();
  if (IsStopRequested() && result == rc::kOk) result = rc::kStopped;
  // Pages a page limit left unfetched are not gone: only a crawl that ran out of addresses
  // knows which pages the site no longer has.
  dating_.Close(result == rc::kOk && !data_->ledger.PageLimitReached());
  data_->ledger.stores().database().Close();
  // A crawl that has ended needs no journal; a stopped one keeps it for a later resume.
  data_->ledger.CloseJournal(result == rc::kOk);
  if (consumer_) consumer_->OnFinished(result);
  return result;
}

SiteOpener CSitemapControl::Opener(CHttpSession& session) {
  SiteOpener::Options options;
  options.obeyRobots = params().rules.obeyRobots;
  options.productToken = RobotsProductToken(params().rules.userAgent);
  options.maxRedirects = fetch_.options().maxRedirects;
  options.queryRules = data_->queryRules;
  return SiteOpener([this, &session](const std::string& address) { return fetch_.Fetch(address, &session); },
                    [this] { return IsStopRequested(); }, std::move(options),
                    [this](const RobotsPolicy& robots) { fetch_.UsePolicy(robots); });
}

int32_t CSitemapControl::OpenSite(const SiteOrigin& typed) {
  CHttpSession session;
  fetch_.Prepare(session);
  SiteOpener::Site site;
  if (!Opener(session).Open(typed, site)) return rc::kStopped;
  const SiteOrigin origin = OriginOf(site.end);
  {
    ExclusiveGuard guard(data_->hostLock);
    data_->host = origin.host;
    data_->origin = origin;
  }
  dating_.Open(origin);
  data_->robots = std::move(site.robots);
  data_->ledger.BeginJournal(params(), origin);
  if (site.hops.empty()) {
    // robots.txt refuses the root itself: nothing of the site may be requested.
    data_->ledger.Admit(site.end.pathAndQuery, "", [](const std::string&) { return UrlLedger::Verdict{true, false}; });
    return rc::kOk;
  }
  // Every address already fetched is in the store before any is handled, so that neither
  // the hops' Location nor the first page's links fetch one of them again. The last hop is
  // the first page.
  std::vector<SiteOpener::Hop*> onSite;
  for (SiteOpener::Hop& hop : site.hops)
    if (IsSameOrigin(origin, hop.address) && data_->ledger.AdmitTaken(hop.address.pathAndQuery)) onSite.push_back(&hop);
  for (SiteOpener::Hop* hop : onSite) HandleResponse(hop->address.pathAndQuery, hop->page);
  return rc::kOk;
}

int32_t CSitemapControl::RunWorkers() {
  CrawlScheduler scheduler([this](std::string& path) { return data_->ledger.Take(path); },
                           [this] { return IsStopRequested(); });
  // The thread setting is the number of pages fetched at once; 0 or less still crawls.
  const size_t count = params().threadCount < 1 ? 1 : static_cast<size_t>(params().threadCount);
  // Results of a slow site are handed over while the workers wait for it.
  WorkerPool::Run(count, [&] { WorkLoop(scheduler, fetch_.share()); }, ResultBatcher::kInterval / 2,
                  [this] { HandOverResults(); });
  return IsStopRequested() ? rc::kStopped : rc::kOk;
}

void CSitemapControl::WorkLoop(CrawlScheduler& scheduler, CurlShare& share) {
  CHttpSession session;
  session.options() = fetch_.RequestOptions();
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
  // A page over a MiB takes its turn at the large-page gate before its body is held whole, and
  // keeps it until its links are read: workers on large pages do not all hold one at once.
  std::optional<LargePageGate::Pass> held;
  struct Unhook {
    CHttpSession* session;
    ~Unhook() {
      if (session) session->options().holdLargeBody = nullptr;
    }
  } unhook{session};
  if (session) session->options().holdLargeBody = reader_.HoldLargeBody(held);
  try {
    const std::string address = FullAddress(Origin(), path);
    FetchedPage page = fetch_.Fetch(address, session, scratch ? &scratch->body : nullptr);
    // A site that hands out its session id by a redirect to the page itself (no cookie is kept):
    // the page is read where the redirect points, once, and stays the page without the id.
    WebAddress target;
    const QueryRules& rules = data_->queryRules;
    if (!rules.empty() && page.result == 0 && RedirectTarget(page.headers, address, target) &&
        target.pathAndQuery != path && IsSameOrigin(Origin(), target) && rules.ApplyToPath(target.pathAndQuery) == path) {
      held.reset();
      page = fetch_.Fetch(ToText(target), session, scratch ? &scratch->body : nullptr);
    }
    if (IsStopRequested() && page.result == CURLE_ABORTED_BY_CALLBACK) {
      // Cut short by the stop: the page was not crawled and waits again.
      data_->ledger.Requeue(path);
      return rc::kStopped;
    }
    HandleResponse(path, page, scratch, std::move(held));
  } catch (...) {
    // Out of memory inside a page: the page is dropped, the crawl goes on.
    return rc::kNoMemory;
  }
  return rc::kOk;
}

void CSitemapControl::HandleResponse(const std::string& path, FetchedPage& page, PageScratch* scratch,
                                     std::optional<LargePageGate::Pass> held) {
  const SiteOrigin origin = Origin();
  const std::string address = FullAddress(origin, path);
  // A transfer that ended without an answer has libcurl's code or the client's own.
  const PageOutcome outcome =
      page.result != 0 ? PageOutcome::OfFetchResult(page.result) : PageOutcome::OfStatusText(StatusOf(page.headers));
  std::string lastmod;
  bool inSitemap = true;
  LanguageAlternates alternates;
  UrlLedger& ledger = data_->ledger;
  if (outcome.ok() && !page.body.empty()) {
    ledger.MarkFetched(path);
    // Taken before the body's room goes back to the worker.
    const std::string hash = dating_.HashOf(page.body);
    PageLinks links;
    if (!reader_.Read(origin, address, page, scratch, std::move(held), links)) {
      // Stopped while waiting to be parsed: its links are unknown, so it is not crawled after
      // all and waits again, as a page whose transfer the stop cut short.
      ledger.Requeue(path);
      return;
    }
    // Counted as crawling until its links are read and admitted (rendering takes a while), so
    // the counters never show an idle crawl while pages are still being read.
    // A page listed as crawled has its links admitted, after a stop too: no page starts any
    // more, and a resumed crawl goes on from them.
    // An orphan of their sitemap is only checked: its links are not followed.
    const bool follow = check_.Follows(path);
    if (follow) admission_.AdmitLinks(links.internal, path);
    // Sitemap content: the canonical page is listed in this one's place. It is a link of the
    // page's like any other: a page that asks for none of its links to be followed leads to
    // no canonical page either.
    // Named under a session id, the page itself is still its own canonical page.
    const std::string canonicalAddress = data_->queryRules.ApplyToAddress(links.canonical);
    CanonicalVerdict canonical = JudgeCanonical(canonicalAddress, path, origin);
    const std::string otherCanonical = canonical.listed ? "" : canonicalAddress;
    if (!params().sitemap.canonicalOnly) canonical = CanonicalVerdict{};
    if (!links.nofollow && follow) admission_.AdmitLink(canonical.admitPath, path);
    inSitemap = canonical.listed;
    alternates = std::move(links.alternates);
    for (auto& alternate : alternates) alternate.second = data_->queryRules.ApplyToAddress(alternate.second);
    if (links.noindex) {
      Finish(PageResult{path, outcome, "", 0, {}, inSitemap, std::move(alternates)}, UrlLedger::Ending::Noindex,
             otherCanonical);
      return;
    }
    PageResult result{path, outcome, "", 0, {}, inSitemap, std::move(alternates), std::move(links.title)};
    result.images = std::move(links.images);
    dating_.DateFromSource(path, page, hash, result);
    Finish(std::move(result), UrlLedger::Ending::Crawled, otherCanonical, links.saysNoindex);
    return;
  }
  // A redirect inside the site leads to a page like a link on it would; wherever it points,
  // its failure row names the target.
  WebAddress target;
  std::string redirectTarget;
  if (outcome.IsRedirect() && RedirectTarget(page.headers, address, target)) {
    redirectTarget = data_->queryRules.ApplyToAddress(ToText(target));  // named as the crawl would admit it
    if (IsOnSite(origin, target) && check_.Follows(path)) admission_.AdmitLink(target.pathAndQuery, path);
  }
  PageResult result{path, outcome, lastmod, 0, {}, inSitemap, std::move(alternates)};
  result.redirectTo = redirectTarget;
  Finish(std::move(result), UrlLedger::Ending::Failed, redirectTarget);
}

void CSitemapControl::Finish(PageResult result, UrlLedger::Ending how, const std::string& auditDetail,
                             bool saysNoindex) {
  const bool listed = data_->ledger.Finish(result, how);
  check_.Note(result, how, listed, auditDetail, saysNoindex);
  if (listed) batcher_.Add(std::move(result));
  HandOverResults();
}

// ---- The journal: kept while the crawl runs, read back when it goes on -------------------

int32_t CSitemapControl::ResumeSite(bool& resumed) {
  JournalReplay replay;
  if (!data_->ledger.Resume(params().startUrl, replay)) return rc::kOk;  // starts afresh
  if (params().rules.obeyRobots) {
    CHttpSession session;
    fetch_.Prepare(session);
    RobotsPolicy robots = Opener(session).FetchRobots(replay.origin);
    if (IsStopRequested()) return rc::kStopped;
    fetch_.UsePolicy(robots);
    data_->robots = std::move(robots);
  }
  {
    ExclusiveGuard guard(data_->hostLock);
    data_->host = replay.origin.host;
    data_->origin = replay.origin;
  }
  resumed = true;
  dating_.Open(replay.origin);
  // The pages judged before the stop keep their verdicts.
  dating_.Restore(replay.results);
  // The front end fills its lists and sitemap from the journal before any new page comes.
  batcher_.Replay(replay.origin, replay.results);
  check_.NoteReplayed(replay.results);
  return IsStopRequested() ? rc::kStopped : rc::kOk;
}
