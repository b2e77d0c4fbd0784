#pragma once
#include "crawl/CrawlStartParams.h"

class CSetupManager;

// The part of a crawl's start record that the settings give: depth, threads, forbidden types,
// the crawl rules and the sitemap content. The one mapping both front ends use; the address,
// the patterns and the journal are theirs to add. A stored change frequency or priority the
// parsers refuse gives its default.
CrawlStartParams CrawlStartParamsOf(const CSetupManager& setup);
