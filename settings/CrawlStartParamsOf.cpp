#include "settings/CrawlStartParamsOf.h"

#include "settings/CSetupManager.h"
#include "settings/ConnectionSettings.h"
#include "settings/SetupPageRules.h"

CrawlStartParams CrawlStartParamsOf(const CSetupManager& setup) {
  CrawlStartParams params;
  params.maxDepth = setup.maxDepth;
  params.threadCount = setup.threadCount;
  params.forbiddenExtensions = setup.forbiddenExtensions;
  CrawlRules& rules = params.rules;
  rules.obeyRobots = setup.obeyRobots != 0;
  rules.minIntervalMs = setup.minIntervalMs;
  rules.userAgent = setup.userAgent;
  rules.renderScripts = setup.renderScripts != 0;
  rules.removeParams = ListEntries(setup.removeParams);
  rules.removeAllParams = setup.removeAllParams != 0;
  rules.keepParams = ListEntries(setup.keepParams);
  rules.skipPatterns = ListEntries(setup.skipPatterns);
  rules.maxPages = setup.maxPages;
  params.httpOptions = HttpOptionsOf(setup);
  params.maxRate = setup.maxRate;
  rules.auditSitemap = setup.auditSitemap != 0;
  SitemapContent& content = params.sitemap;
  content.canonicalOnly = setup.sitemapCanonical != 0;
  content.languageAlternates = setup.sitemapHreflang != 0;
  content.images = setup.sitemapImages != 0;
  content.indexFile = setup.sitemapIndex != 0;
  content.htmlPage = setup.htmlSitemap != 0;
  std::string word, message;
  std::vector<std::string> priorities;
  if (ParseChangefreq(setup.sitemapChangefreq, word, message)) content.changefreq = word;
  if (ParsePriorities(setup.sitemapPriority, priorities, message)) content.priorities = priorities;
  LastmodSource source = LastmodSource::Start;
  if (!ParseLastmodSource(setup.sitemapLastmodFrom, source, message)) source = LastmodSource::Start;
  content.lastmodFrom = source == LastmodSource::Start && setup.lastmodFromHeader != 0 ? LastmodSource::Header : source;
  return params;
}
