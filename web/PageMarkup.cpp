#include "web/PageMarkup.h"

namespace {

// The value of the node's first attribute of that kind; null when there is none.
const char* FirstAttribute(TidyNode node, TidyAttrId id) {
  for (TidyAttr attr = tidyAttrFirst(node); attr; attr = tidyAttrNext(attr))
    if (tidyAttrGetId(attr) == id) return tidyAttrValue(attr);
  return nullptr;
}

std::string Text(const char* value) { return value ? std::string(value) : std::string(); }

void ReadHeadElement(TidyNode node, PageMarkup& markup) {
  const TidyTagId tag = tidyNodeGetId(node);
  if (tag == TidyTag_BASE && !markup.hasBase) {
    if (const char* href = FirstAttribute(node, TidyAttr_HREF)) {
      markup.hasBase = true;
      markup.baseHref = href;
    }
  } else if (tag == TidyTag_META) {
    const char* name = FirstAttribute(node, TidyAttr_NAME);
    if (name && *name) markup.namedMetas.emplace_back(name, Text(FirstAttribute(node, TidyAttr_CONTENT)));
  } else if (tag == TidyTag_LINK) {
    const char* href = FirstAttribute(node, TidyAttr_HREF);
    if (href && *href)
      markup.headLinks.push_back(
          {Text(FirstAttribute(node, TidyAttr_REL)), Text(FirstAttribute(node, TidyAttr_HREFLANG)), href});
  }
}

// Pre-order over everything below root: a node, then what is below it, then its next sibling.
template <class Visit>
void Walk(TidyNode root, Visit visit) {
  if (!root) return;
  std::vector<TidyNode> pending;
  if (TidyNode first = tidyGetChild(root)) pending.push_back(first);
  while (!pending.empty()) {
    TidyNode node = pending.back();
    pending.pop_back();
    visit(node);
    if (TidyNode next = tidyGetNext(node)) pending.push_back(next);
    if (TidyNode child = tidyGetChild(node)) pending.push_back(child);
  }
}

void ReadImageElement(TidyNode node, TidyTagId tag, PageMarkup& markup) {
  const char* src = tag == TidyTag_IMG ? FirstAttribute(node, TidyAttr_SRC) : nullptr;
  if (src && *src) {
    markup.images.push_back({src, false});
    return;
  }
  const char* srcset = FirstAttribute(node, TidyAttr_SRCSET);
  if (srcset && *srcset) markup.images.push_back({srcset, true});
}

}  // namespace

void ReadPageMarkup(TidyNode head, TidyNode body, PageMarkup& markup) {
  Walk(head, [&](TidyNode node) { ReadHeadElement(node, markup); });
  Walk(body, [&](TidyNode node) {
    const TidyTagId tag = tidyNodeGetId(node);
    if (tag == TidyTag_IMG || tag == TidyTag_SOURCE) return ReadImageElement(node, tag, markup);
    if (tag != TidyTag_A) return;
    const char* href = FirstAttribute(node, TidyAttr_HREF);
    if (!href || !*href) return;
    markup.anchors.push_back({href, Text(FirstAttribute(node, TidyAttr_REL))});
  });
}
