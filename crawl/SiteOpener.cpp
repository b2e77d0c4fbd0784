#include "crawl/SiteOpener.h"

#include "common/StringICompare.h"


SiteOpener::SiteOpener(Fetch fetch, std::function<bool()> stopped, Options options,
                       std::function<void(const RobotsPolicy&)> onPolicy)
    : fetch_(std::move(fetch)),
      stopped_(std::move(stopped)),
      options_(std::move(options)),
      onPolicy_(std::move(onPolicy)) {}

bool IsSameOrigin(const SiteOrigin& origin, const WebAddress& address) {
  return address.scheme == origin.scheme && EqualsIgnoreCase(address.host, origin.host) && address.port == origin.port;
}

bool SiteOpener::Open(const SiteOrigin& typed, Site& site) {
  const bool obey = options_.obeyRobots;
  WebAddress& address = site.end;
  address.scheme = typed.scheme;
  address.host = typed.host;
  address.port = typed.port;
  address.pathAndQuery = "/";
  RobotsPolicy& robots = site.robots;
  if (obey) robots = FetchRobots(typed);
  if (stopped_()) return false;
  onPolicy_(robots);
  if (obey && !robots.IsAllowed(address.pathAndQuery)) return true;
  std::vector<Hop>& hops = site.hops;
  FetchedPage page = fetch_(ToText(address));
  for (int32_t n = 0; n < options_.maxRedirects && !stopped_(); ++n) {
    WebAddress target;
    if (!RedirectTarget(page.headers, ToText(address), target)) break;
    const std::string named = target.pathAndQuery;
    target.pathAndQuery = options_.queryRules.ApplyToPath(named);
    if (target.pathAndQuery != named && ToText(target) == ToText(address)) {
      // The site only hands out a session id (no cookie is kept): the page is read where the
      // redirect points, and stays the page of the address without the id.
      target.pathAndQuery = named;
      page = fetch_(ToText(target));
      continue;
    }
    if (!IsSameHost(target.host, typed.host)) break;  // another site: listed, not followed
    bool seen = ToText(target) == ToText(address);
    for (const Hop& hop : hops) seen = seen || ToText(hop.address) == ToText(target);
    if (seen) break;
    if (obey) {
      // Another scheme or port is another origin, with a robots.txt of its own.
      RobotsPolicy there = IsSameOrigin(OriginOf(address), target) ? robots : FetchRobots(OriginOf(target));
      if (!there.IsAllowed(target.pathAndQuery)) break;  // listed; its target is refused by the crawl
      robots = std::move(there);
      onPolicy_(robots);
    }
    hops.push_back({address, std::move(page)});
    address = target;
    page = fetch_(ToText(address));
  }
  if (stopped_()) return false;
  hops.push_back({address, std::move(page)});
  return true;
}

RobotsPolicy SiteOpener::FetchRobots(const SiteOrigin& origin) {
  // Crawlers follow a few redirects of robots.txt, to other hosts too.
  constexpr int kRobotsRedirects = 5;
  std::string address = RobotsTxtAddress(origin);
  FetchedPage page = fetch_(address);
  for (int hop = 0; hop < kRobotsRedirects && !stopped_(); ++hop) {
    WebAddress target;
    if (!RedirectTarget(page.headers, address, target)) break;
    address = ToText(target);
    page = fetch_(address);
  }
  std::string_view body = page.body;
  if (body.substr(0, 4) == "\r\n\r\n") body.remove_prefix(4);  // the blank line after the headers
  return RobotsPolicyOf(page.result, StatusOf(page.headers), body, options_.productToken);
}
