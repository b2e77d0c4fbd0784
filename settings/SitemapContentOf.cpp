#include "settings/SitemapContentOf.h"

#include "settings/CSetupManager.h"

SitemapContent SitemapContentOf(const CSetupManager& setup) {
  SitemapContent content;
  content.canonicalOnly = setup.sitemapCanonical != 0;
  content.languageAlternates = setup.sitemapHreflang != 0;
  content.indexFile = setup.sitemapIndex != 0;
  std::string word, message;
  std::vector<std::string> priorities;
  if (ParseChangefreq(setup.sitemapChangefreq, word, message)) content.changefreq = word;
  if (ParsePriorities(setup.sitemapPriority, priorities, message)) content.priorities = priorities;
  return content;
}
