#pragma once
#include <tidy/tidy.h>

#include <string>
#include <utility>
#include <vector>

// An anchor of a page: its href and rel as Tidy decoded them (UTF-8).
struct AnchorLink {
  std::string href;
  std::string rel;
};

// A link element of the head: its rel, hreflang and href as Tidy decoded them.
struct HeadLink {
  std::string rel;
  std::string hreflang;
  std::string href;
};

// Where a page shows an image: an address, or a srcset whose first candidate is the address.
struct ImageReference {
  std::string value;
  bool srcset = false;
};

// What the crawl reads of a parsed page.
struct PageMarkup {
  bool hasBase = false;
  std::string baseHref;              // href of the first base element that has one
  std::vector<AnchorLink> anchors;   // every anchor with an href below the body, in document order
  // (name, content) of every meta element of the head that has a name.
  std::vector<std::pair<std::string, std::string>> namedMetas;
  std::vector<HeadLink> headLinks;   // every link element of the head that has an href
  // The image references below the body, in document order: an img's src, else its srcset;
  // a source element's srcset (a picture's; video and audio sources have none). A srcset
  // is kept whole, its candidates read later.
  std::vector<ImageReference> images;
};

// Reads the head (base, meta, link) and the anchors below the body. Walks with its own stack:
// pages nest elements without limit.
void ReadPageMarkup(TidyNode head, TidyNode body, PageMarkup& markup);
