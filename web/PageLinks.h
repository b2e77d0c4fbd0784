#pragma once
#include <set>
#include <string>
#include <utility>
#include <vector>

// Links compare exactly: /A.html and /a.html are two pages on nearly every server.
using LinkSet = std::set<std::string>;

// The links of one page.
struct PageLinks {
  LinkSet internal;  // paths (with "?" and query) on the crawl's site, as they will be requested
  LinkSet external;  // full addresses on other sites
  bool noindex = false;  // the page asks not to be listed (meta robots, when obeyed)
  bool nofollow = false;  // the page asks for none of its links to be followed (the same)
  // The page's meta robots says noindex, whether obeyed or not (read when asked for).
  bool saysNoindex = false;
  // When asked for: the full address of the page's first <link rel="canonical">, resolved
  // as its anchors are (empty: none), and its (hreflang, full address) language alternates
  // in document order.
  std::string canonical;
  std::vector<std::pair<std::string, std::string>> alternates;
  std::string title;  // when asked for: the text of its <title> (UTF-8), empty when none
  // When asked for: the full addresses of the images it shows, once each, in document order.
  std::vector<std::string> images;
};

// How a page's links are read.
struct LinkOptions {
  // Obey <meta name="robots"> (noindex; nofollow: no link at all) and rel="nofollow".
  bool obeyRobots = false;
  std::string productToken;  // a meta element of this name speaks to us as "robots" does
  bool readCanonical = false;   // fill PageLinks::canonical
  bool readAlternates = false;  // fill PageLinks::alternates
  bool readTitle = false;       // fill PageLinks::title
  bool readNoindex = false;     // fill PageLinks::saysNoindex, robots obeyed or not
  bool readImages = false;      // fill PageLinks::images (the parser then reads img and source too)
};
