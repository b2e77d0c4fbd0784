#pragma once
#include "crawl/CrawlRules.h"

class CSetupManager;

// The crawl rules the settings hold, as a crawl takes them at its start.
CrawlRules CrawlRulesOf(const CSetupManager& setup);
