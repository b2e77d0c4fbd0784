#include "crawl/SiteSitemaps.h"

#include <deque>
#include <set>
#include <utility>

#include "web/RobotsPolicy.h"
#include "web/WebAddress.h"

namespace {

constexpr int kDocumentRedirects = 5;
const char* const kProbes[] = {"/sitemap.xml", "/sitemap_index.xml", "/sitemap.txt"};

AuditRow FormatRow(const std::string& document, SitemapFault fault, std::string value = {},
                   PageOutcome outcome = {}) {
  AuditRow row;
  row.kind = AuditKind::Format;
  row.address = document;
  row.outcome = outcome;
  row.finding = SitemapFinding{fault, 0, std::move(value)};
  return row;
}

PageOutcome OutcomeOf(int32_t code, const std::string& headers) {
  return code != 0 ? PageOutcome::OfFetchResult(code) : PageOutcome::OfStatusText(StatusOf(headers));
}

}  // namespace

SiteSitemaps::SiteSitemaps(Hooks hooks) : hooks_(std::move(hooks)) {}

bool SiteSitemaps::FetchOne(const SiteOrigin& origin, const Named& named, bool probe, SitemapAudit& audit,
                            std::string& read) {
  std::string address = named.address;
  for (int hop = 0;; ++hop) {
    std::string headers;
    SitemapFeed here;
    const int32_t code = hooks_.fetchDocument(address, headers, here);
    const PageOutcome outcome = OutcomeOf(code, headers);
    WebAddress target;
    if (code == 0 && outcome.IsRedirect() && RedirectTarget(headers, address, target) && hop < kDocumentRedirects &&
        !hooks_.stopped()) {
      if (!IsOnSite(origin, target)) {
        if (!probe) audit.AddRow({AuditKind::Offsite, ToText(target), outcome, named.address, {}});
        return false;
      }
      if (!hooks_.mayRequest(target.pathAndQuery)) {
        if (!probe) audit.AddRow({AuditKind::Blocked, ToText(target), {}, named.address, {}});
        return false;
      }
      address = ToText(target);
      continue;
    }
    if (!outcome.ok()) {
      if (!probe) audit.AddRow(FormatRow(named.address, SitemapFault::Unreadable, named.namedBy, outcome));
      return false;
    }
    here.End();
    if (here.damaged()) {
      audit.AddRow(FormatRow(named.address, SitemapFault::NotGzip));
      return false;
    }
    if (here.truncated()) audit.AddRow(FormatRow(named.address, SitemapFault::Truncated));
    if (here.tooLarge()) audit.AddRow(FormatRow(named.address, SitemapFault::TooLarge));
    read.swap(here.text());
    return true;
  }
}

void SiteSitemaps::Read(const SiteOrigin& origin, SitemapAudit& audit) {
  // robots.txt first, for its Sitemap: lines and its rules, whatever the crawl obeys.
  std::string robotsAddress = RobotsTxtAddress(origin);
  FetchedPage robots = hooks_.fetch(robotsAddress);
  for (int hop = 0; hop < kDocumentRedirects && !hooks_.stopped(); ++hop) {
    WebAddress target;
    if (!RedirectTarget(robots.headers, robotsAddress, target)) break;
    robotsAddress = ToText(target);
    robots = hooks_.fetch(robotsAddress);
  }
  std::string_view body = robots.body;
  if (body.substr(0, 4) == "\r\n\r\n") body.remove_prefix(4);
  const std::string status = StatusOf(robots.headers);
  audit.SetSite(origin, RobotsPolicyOf(robots.result, status, body, hooks_.productToken));
  std::deque<Named> queue;
  if (robots.result == 0 && status == "200")
    for (std::string& line : RobotsSitemapLines(body)) queue.push_back({std::move(line), "robots.txt"});
  std::string().swap(robots.body);

  bool probing = queue.empty();
  size_t probe = 0;
  if (probing) queue.push_back({FullAddress(origin, kProbes[probe]), ""});
  std::set<std::string> seen;
  size_t documents = 0;
  while (!queue.empty() && !hooks_.stopped()) {
    Named named = std::move(queue.front());
    queue.pop_front();
    WebAddress address;
    if (!ParseWebAddress(named.address, address)) {
      audit.AddRow(FormatRow(named.namedBy, SitemapFault::NotAddress, named.address));
      continue;
    }
    if (!IsOnSite(origin, address)) {
      audit.AddRow({AuditKind::Offsite, named.address, {}, named.namedBy, {}});
      continue;
    }
    const std::string full = ToText(address);
    if (!seen.insert(full).second) {
      audit.AddRow(FormatRow(named.namedBy, SitemapFault::IndexLoop, named.address));
      continue;
    }
    if (documents >= kMaxSitemapDocuments) {
      audit.AddRow(FormatRow(named.namedBy, SitemapFault::TooManyDocuments));
      break;
    }
    if (!hooks_.mayRequest(address.pathAndQuery)) {
      audit.AddRow({AuditKind::Blocked, named.address, {}, named.namedBy, {}});
      continue;
    }
    ++documents;
    std::string text;
    if (!FetchOne(origin, named, probing, audit, text)) {
      // Nothing at this probe: the next one; after the last, one row says the site has none, so
      // that every crawled page listed as missing is not taken for a fault of theirs.
      if (probing && ++probe < std::size(kProbes)) queue.push_back({FullAddress(origin, kProbes[probe]), ""});
      else if (probing && !hooks_.stopped()) audit.AddRow(FormatRow(FullAddress(origin, kProbes[0]), SitemapFault::NotFound));
      continue;
    }
    probing = false;
    const SitemapRead read = ReadSitemapDocument(text);
    std::string().swap(text);
    for (std::string& child : audit.AddDocument(named.address, read)) queue.push_back({std::move(child), named.address});
  }
  audit.Loaded();
}
