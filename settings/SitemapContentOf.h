#pragma once
#include "crawl/SitemapContent.h"

class CSetupManager;

// What the settings ask to go into the sitemap, as a crawl takes it at its start. A stored
// text the parsers refuse gives its default.
SitemapContent SitemapContentOf(const CSetupManager& setup);
