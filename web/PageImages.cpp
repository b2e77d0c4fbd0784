#include "web/PageImages.h"

#include <set>

#include "web/MarkupTags.h"

namespace {

using markup::IsBlank;

bool AllDigits(const std::string& text, size_t begin, size_t end) {
  if (begin >= end) return false;
  for (size_t i = begin; i < end; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

// "300w", "200h", "1.5x" (a density may be a decimal number).
bool IsDescriptor(const std::string& d) {
  if (d.size() < 2) return false;
  const char unit = markup::Lower(d.back());
  const size_t end = d.size() - 1;
  if (unit == 'w' || unit == 'h') return AllDigits(d, 0, end);
  if (unit != 'x') return false;
  const size_t dot = d.find('.');
  if (dot == std::string::npos || dot >= end) return AllDigits(d, 0, end);
  return (dot == 0 || AllDigits(d, 0, dot)) && AllDigits(d, dot + 1, end);
}

}  // namespace

bool FirstSrcsetCandidate(const std::string& srcset, std::string& address) {
  size_t p = 0;
  while (p < srcset.size()) {
    while (p < srcset.size() && (IsBlank(srcset[p]) || srcset[p] == ',')) ++p;
    const size_t begin = p;
    while (p < srcset.size() && !IsBlank(srcset[p])) ++p;
    std::string url = srcset.substr(begin, p - begin);
    // An address ending in commas ends its candidate there, with no descriptors.
    bool ended = false;
    while (!url.empty() && url.back() == ',') url.pop_back(), ended = true;
    bool valid = !url.empty();
    if (!ended) {
      // The descriptors run to the next comma outside parentheses.
      std::string descriptor;
      int depth = 0;
      for (; p < srcset.size(); ++p) {
        const char c = srcset[p];
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (c == ',' && depth == 0) break;
        if (IsBlank(c)) {
          if (!descriptor.empty() && !IsDescriptor(descriptor)) valid = false;
          descriptor.clear();
        } else {
          descriptor += c;
        }
      }
      if (!descriptor.empty() && !IsDescriptor(descriptor)) valid = false;
    }
    if (valid) {
      address = std::move(url);
      return true;
    }
  }
  return false;
}

void AddPageImages(const PageMarkup& markup, const ReferenceResolver& base, PageLinks& links) {
  std::set<std::string> seen(links.images.begin(), links.images.end());
  std::string candidate;
  for (const ImageReference& image : markup.images) {
    if (links.images.size() >= kMaxPageImages) return;
    const std::string* href = &image.value;
    if (image.srcset) {
      if (!FirstSrcsetCandidate(image.value, candidate)) continue;
      href = &candidate;
    }
    WebAddress target;
    if (!base.Resolve(*href, target)) continue;
    std::string address = ToText(target);
    if (address.size() > kMaxImageAddress || !seen.insert(address).second) continue;
    links.images.push_back(std::move(address));
  }
}
