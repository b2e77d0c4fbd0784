#include "crawl/LinkAdmission.h"

#include "crawl/AdmissionRules.h"
#include "crawl/CSitemapData.h"

void LinkAdmission::AdmitLinks(const LinkSet& links, const std::string& parent) {
  for (const std::string& link : links) AdmitLink(link, parent);
}

void LinkAdmission::AdmitLink(const std::string& link, const std::string& parent) {
  if (link.empty()) return;
  const QueryRules& rules = data_.queryRules;
  const auto judge = [this](const std::string& path) { return Judge(path); };
  // Apart: one ?: of a reference and a new string would copy every link.
  if (rules.empty()) data_.ledger.Admit(link, parent, judge);
  else data_.ledger.Admit(rules.ApplyToPath(link), parent, judge);
}

UrlLedger::Verdict LinkAdmission::Judge(const std::string& link) const {
  UrlLedger::Verdict verdict;
  verdict.refused = !IsAllowedExtension(link, data_.params.forbiddenExtensions) || !RobotsAllow(link) ||
                    data_.patterns.IsSkipped(link);
  verdict.excluded = !verdict.refused && data_.patterns.IsExcluded(link);
  return verdict;
}

bool LinkAdmission::RobotsAllow(const std::string& path) const {
  return !data_.params.rules.obeyRobots || data_.robots.IsAllowed(path);
}
