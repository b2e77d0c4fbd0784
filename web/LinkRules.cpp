#include "web/LinkRules.h"

void ClassifyLink(const std::string& href, const ReferenceResolver& base, const SiteOrigin& origin, PageLinks& links) {
  WebAddress target;
  if (!base.Resolve(href, target)) return;
  if (IsOnSite(origin, target))
    links.internal.insert(std::move(target.pathAndQuery));
  else
    links.external.insert(ToText(target));
}
