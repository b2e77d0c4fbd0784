#pragma once
#include <string_view>

// What a page asks of crawlers in <meta name="robots" content="..."> and what rel="..." asks
// of one link. The reading of the page's elements is the link extractor's; these read the
// attribute texts.

struct MetaRobotsDirectives {
  bool noindex = false;   // crawl the page, but list it neither in the sitemap nor in the URL list
  bool nofollow = false;  // follow none of the page's links
};

// Whether a meta element's name addresses this crawler: "robots", or the crawler's product
// token (RobotsProductToken), letter case ignored.
bool MetaNameAddressesUs(std::string_view name, std::string_view productToken);

// The directives of a content text: comma-separated, letter case and white space ignored;
// "none" is noindex and nofollow; unknown directives are skipped.
MetaRobotsDirectives ParseMetaRobotsContent(std::string_view content);

// Whether a rel text (space-separated link types) holds "nofollow", letter case ignored.
bool RelHasNofollow(std::string_view rel);
// Whether a rel text holds that link type ("canonical", "alternate"), letter case ignored.
bool RelHasToken(std::string_view rel, std::string_view type);
