#include "crawl/SitemapCheck.h"

#include "common/ResultCodes.h"
#include "crawl/CSitemapData.h"
#include "crawl/LinkAdmission.h"
#include "crawl/PageFetch.h"
#include "crawl/SiteSitemaps.h"
#include "crawl/SitemapAudit.h"
#include "web/CRobotsTxt.h"

SitemapCheck::SitemapCheck(CSitemapData& data, PageFetch& fetch, LinkAdmission& admission,
                           std::function<bool()> stopped)
    : data_(data), fetch_(fetch), admission_(admission), stopped_(std::move(stopped)) {
  if (data.params.rules.auditSitemap) audit_ = std::make_unique<SitemapAudit>(data.queryRules);
}

SitemapCheck::~SitemapCheck() = default;

bool SitemapCheck::Follows(const std::string& path) const { return !audit_ || !audit_->IsOrphan(path); }

void SitemapCheck::Note(const PageResult& result, UrlLedger::Ending how, bool listed, const std::string& detail,
                        bool saysNoindex) {
  if (audit_) audit_->Note(result, how, listed, detail, saysNoindex);
}

void SitemapCheck::NoteReplayed(const std::vector<PageResult>& results) {
  if (audit_)
    for (const PageResult& result : results)
      audit_->Note(result, result.outcome.ok() ? UrlLedger::Ending::Crawled : UrlLedger::Ending::Failed, true, {});
}

std::vector<AuditRow> SitemapCheck::AuditRows(size_t from) const {
  return audit_ ? audit_->RowsSince(from) : std::vector<AuditRow>{};
}

void SitemapCheck::ReadSiteSitemaps(CHttpSession& session, const SiteOrigin& origin) {
  if (!audit_) return;
  SiteSitemaps::Hooks hooks;
  hooks.fetch = [this, &session](const std::string& address) { return fetch_.Fetch(address, &session); };
  hooks.fetchDocument = [this, &session](const std::string& address, std::string& headers, SitemapFeed& feed) {
    return fetch_.FetchDocument(address, headers, feed, session);
  };
  hooks.stopped = stopped_;
  hooks.mayRequest = [this](const std::string& path) { return admission_.RobotsAllow(path); };
  hooks.productToken = RobotsProductToken(data_.params.rules.userAgent);
  SiteSitemaps(std::move(hooks)).Read(origin, *audit_);
}

int32_t SitemapCheck::FetchOrphans(const std::function<int32_t()>& runWorkers) {
  if (!audit_) return rc::kOk;
  // Only a crawl that met every page it could tells which pages nothing links to.
  if (stopped_() || data_.ledger.PageLimitReached()) return stopped_() ? rc::kStopped : rc::kOk;
  size_t admitted = 0;
  for (const std::string& path : audit_->Paths()) {
    const UrlLedger::Admission admission =
        data_.ledger.Admit(path, "", [this](const std::string& p) { return admission_.Judge(p); });
    if (admission == UrlLedger::Admission::Known) continue;
    const bool fetched = admission == UrlLedger::Admission::Waiting;
    audit_->MarkOrphan(path, fetched);
    if (fetched) ++admitted;
  }
  const int32_t result = admitted == 0 ? rc::kOk : runWorkers();
  audit_->EndOrphans();
  return result;
}
