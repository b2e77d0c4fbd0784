#pragma once
#include <string>

#include "web/PageLinks.h"
#include "web/SiteOrigin.h"
#include "web/WebAddress.h"

// Files one anchor href of a page: resolved against the page's base; a page of the crawl's
// site goes into internal as path and query, ready to request; another site's address into
// external; anything that is no http or https address (mail, script, tel, data, ftp, ...) is
// dropped.
void ClassifyLink(const std::string& href, const ReferenceResolver& base, const SiteOrigin& origin, PageLinks& links);
