#pragma once
#include <cstddef>
#include <string>

#include "web/PageLinks.h"
#include "web/PageMarkup.h"
#include "web/WebAddress.h"

// A sitemap lists at most this many images of a page, the first in document order.
inline constexpr size_t kMaxPageImages = 1000;
// The protocol's longest address; a longer image address is left out.
inline constexpr size_t kMaxImageAddress = 2048;

// The address of a srcset's first candidate that a browser would read: a candidate whose
// descriptors are not a width ("300w"), a density ("2x") or a height is skipped, as is an
// empty one. False when there is none.
bool FirstSrcsetCandidate(const std::string& srcset, std::string& address);

// Adds the page's images to links.images: resolved against base, only http(s) addresses no
// longer than kMaxImageAddress (data: and javascript: go), each once, at most kMaxPageImages.
void AddPageImages(const PageMarkup& markup, const ReferenceResolver& base, PageLinks& links);
