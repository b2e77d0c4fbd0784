#include "web/AnchorWalker.h"

#include "web/LinkText.h"

namespace {

const char* FirstHref(TidyNode anchor) {
  for (TidyAttr attr = tidyAttrFirst(anchor); attr; attr = tidyAttrNext(attr))
    if (tidyAttrGetId(attr) == TidyAttr_HREF) return tidyAttrValue(attr);
  return nullptr;
}

}  // namespace

void CollectAnchorLinks(TidyNode root, std::vector<std::string>& links) {
  if (!root) return;
  // Pre-order: a node, then everything below it, then its next sibling.
  std::vector<TidyNode> pending;
  if (TidyNode first = tidyGetChild(root)) pending.push_back(first);
  while (!pending.empty()) {
    TidyNode node = pending.back();
    pending.pop_back();
    if (tidyNodeGetId(node) == TidyTag_A) links.push_back(NarrowFromTidy(FirstHref(node)));
    if (TidyNode next = tidyGetNext(node)) pending.push_back(next);
    if (TidyNode child = tidyGetChild(node)) pending.push_back(child);
  }
}
