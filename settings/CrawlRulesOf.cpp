#include "settings/CrawlRulesOf.h"

#include "settings/CSetupManager.h"

CrawlRules CrawlRulesOf(const CSetupManager& setup) {
  CrawlRules rules;
  rules.obeyRobots = setup.obeyRobots != 0;
  rules.minIntervalMs = setup.minIntervalMs;
  rules.userAgent = setup.userAgent;
  rules.lastmodFromHeader = setup.lastmodFromHeader != 0;
  rules.renderScripts = setup.renderScripts != 0;
  return rules;
}
