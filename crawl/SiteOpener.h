#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "crawl/FetchedPage.h"
#include "crawl/QueryRules.h"
#include "web/RobotsPolicy.h"
#include "web/SiteOrigin.h"
#include "web/WebAddress.h"

// Opens a crawl's site before its workers start: reads robots.txt when the rules obey it, and
// follows the root's redirects within the site's host. The address they end on is the
// crawl's origin and first page.
class SiteOpener {
 public:
  using Fetch = std::function<FetchedPage(const std::string& address)>;
  struct Hop {
    WebAddress address;
    FetchedPage page;
  };
  struct Options {
    bool obeyRobots = false;
    std::string productToken;  // robots.txt groups are matched by it
    int32_t maxRedirects = 10;
    QueryRules queryRules;  // applied to every redirect's target
  };
  // What opening found.
  struct Site {
    std::vector<Hop> hops;  // every fetched hop, the first page last; none: robots.txt refuses the root
    WebAddress end;         // where the redirects ended (the root itself when none)
    RobotsPolicy robots;    // of the origin the redirects ended on
  };

  // onPolicy is told each policy read, so the crawl paces by its Crawl-delay from then on.
  SiteOpener(Fetch fetch, std::function<bool()> stopped, Options options,
             std::function<void(const RobotsPolicy&)> onPolicy);

  // False when a stop cut it short.
  bool Open(const SiteOrigin& typed, Site& site);
  // The origin's robots.txt, a few of its redirects followed (to other hosts too), as a policy.
  RobotsPolicy FetchRobots(const SiteOrigin& origin);

 private:
  Fetch fetch_;
  std::function<bool()> stopped_;
  Options options_;
  std::function<void(const RobotsPolicy&)> onPolicy_;
};

// The hops that share the crawl's scheme, host spelling and port are its pages.
bool IsSameOrigin(const SiteOrigin& origin, const WebAddress& address);
