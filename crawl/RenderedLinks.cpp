#include "crawl/RenderedLinks.h"

#include <algorithm>
#include <set>

#include "common/ResultCodes.h"
#include "crawl/PageFetch.h"
#include "render/PageRenderer.h"
#include "web/ConnectionCheck.h"
#include "web/LinkExtractor.h"
#include "web/PageImages.h"
#include "web/PageScratch.h"
#include "web/ResponseHeaders.h"
#include "web/WebAddress.h"

RenderedLinks::RenderedLinks(const CrawlStartParams& params, PageFetch& fetch, std::function<SiteOrigin()> origin,
                             std::function<bool()> stopped)
    : params_(params), fetch_(fetch), origin_(std::move(origin)), stopped_(std::move(stopped)) {}

RenderedLinks::~RenderedLinks() = default;

void RenderedLinks::GiveUpRendering(RenderStop why) {
  RenderStop none = RenderStop::None;
  notice_.compare_exchange_strong(none, why);
}

void RenderedLinks::Prepare() {
  if (!params_.rules.renderScripts) return;
  RenderOptions options;
  if (!PageRenderer::Available(options.executable)) {
    // The crawl goes on as it would without the setting, and says why.
    GiveUpRendering(RenderStop::BrowserMissing);
    return;
  }
  const http_options& httpOptions = fetch_.options();
  // A page may take as long to settle as a fetch may take.
  options.timeoutMs = std::max(1, httpOptions.totalTimeout) * 1000;
  options.userAgent = params_.rules.userAgent;
  options.tabs = std::max(1, params_.threadCount);
  options.proxy = httpOptions.proxy;
  options.proxyHost = ProxyHostOf(httpOptions.proxy);
  options.ignoreCertificateErrors = !httpOptions.verifyTls;
  options.mayRequest = [this](const std::string& address) {
    WebAddress target;
    return ParseWebAddress(address, target) && IsOnSite(origin_(), target);
  };
  options.waitTurn = [this] { return fetch_.WaitTurn(); };
  options.stopped = stopped_;
  renderer_ = std::make_unique<PageRenderer>(std::move(options));
}

void RenderedLinks::End() { renderer_.reset(); }

bool RenderedLinks::AddRenderedLinks(const std::string& address, const FetchedPage& page, PageLinks& links,
                                     const LinkOptions& options, PageScratch* scratch) {
  if (stopped_()) return false;
  if (!page.headers.empty() && !ResponseHeaders(page.headers).IsHtml()) return true;
  PageMarkup markup;
  const RenderOutcome outcome = renderer_->Render(address, page.headers, page.body, markup);
  if (renderer_->GivenUp()) GiveUpRendering(RenderStop::BrowserDiedTwice);
  if (outcome == RenderOutcome::kNotRendered && stopped_()) return false;
  if (outcome != RenderOutcome::kRendered && outcome != RenderOutcome::kTimedOut) return true;
  PageScratch own;
  PageLinks rendered;
  if (AddMarkupLinks(markup, origin_(), address, rendered, options, scratch ? *scratch : own) != rc::kOk) return true;
  // What the served page says holds; the rendered document adds to it.
  links.internal.merge(rendered.internal);
  links.external.merge(rendered.external);
  links.noindex = links.noindex || rendered.noindex;
  links.nofollow = links.nofollow || rendered.nofollow;
  links.saysNoindex = links.saysNoindex || rendered.saysNoindex;
  if (links.canonical.empty()) links.canonical = std::move(rendered.canonical);
  if (links.alternates.empty()) links.alternates = std::move(rendered.alternates);
  // The rendered document's images follow the served page's, each once, within the limit.
  const std::set<std::string> served(links.images.begin(), links.images.end());
  for (std::string& image : rendered.images)
    if (links.images.size() < kMaxPageImages && !served.count(image)) links.images.push_back(std::move(image));
  return true;
}
