#pragma once
#include <string>
#include <string_view>
#include <unordered_set>

#include "web/PageMarkup.h"
#include "web/ResolvedLinkCache.h"

// The working storage of one worker's link extraction, kept from page to page so that a page
// of the usual size costs no allocation for its text: the page converted to UTF-8, its link
// markup, that markup with bare references escaped, and what was read of it. Give one to
// each thread; it holds nothing from one page that the next one reads but the answers of its
// link cache, which depend on nothing but the href and its base.
struct PageScratch {
  std::string body;       // the receive buffer between transfers
  std::string converted;  // the page in UTF-8, when it came in another set
  std::string markup;     // the tags that can carry a link
  std::string escaped;    // the markup with bare "&name=" escaped, when it has one
  PageMarkup page;
  // What the page's hrefs resolve by: an href up to its "#", or a whole one without (views into page).
  std::unordered_set<std::string_view> resolved;
  ResolvedLinkCache linkCache;  // kept from page to page

  // Storage kept between pages up to this size a string (a large page, as the crawl gates
  // them); a larger page gives its room back, so that idle workers hold no large page.
  static constexpr size_t kKeptBytes = 256 * 1024;
  // Drops what a page left, giving back the room of one that was larger than usual.
  void Release();
};
