#pragma once
#include <string>

#include "crawl/UrlLedger.h"
#include "web/PageLinks.h"

class CSitemapData;

// What a crawl makes of the links it meets: each goes into the ledger under the query rules,
// judged by the forbidden types, robots.txt and the patterns when it is met for the first
// time. Thread safe once the site's robots.txt is read.
class LinkAdmission {
 public:
  explicit LinkAdmission(CSitemapData& data) : data_(data) {}

  void AdmitLinks(const LinkSet& links, const std::string& parent);
  void AdmitLink(const std::string& link, const std::string& parent);
  // What the rules say of a link met for the first time.
  UrlLedger::Verdict Judge(const std::string& link) const;
  // Whether the rules let the crawl request path.
  bool RobotsAllow(const std::string& path) const;

 private:
  CSitemapData& data_;
};
