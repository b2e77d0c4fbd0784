#include "crawl/SitemapAudit.h"

#include <utility>

#include "web/WebAddress.h"

SitemapAudit::SitemapAudit(QueryRules rules) : rules_(std::move(rules)) {}

void SitemapAudit::SetSite(SiteOrigin origin, RobotsPolicy robots) {
  std::lock_guard<std::mutex> guard(lock_);
  origin_ = std::move(origin);
  robots_ = std::move(robots);
}

void SitemapAudit::AddRow(AuditRow row) {
  std::lock_guard<std::mutex> guard(lock_);
  rows_.push_back(std::move(row));
}

void SitemapAudit::FormatRow(uint32_t document, SitemapFinding finding) {
  AuditRow row;
  row.kind = AuditKind::Format;
  row.address = documents_[document];
  row.finding = std::move(finding);
  rows_.push_back(std::move(row));
}

std::vector<std::string> SitemapAudit::AddDocument(const std::string& document, const SitemapRead& read) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto index = static_cast<uint32_t>(documents_.size());
  documents_.push_back(document);
  for (const SitemapFinding& finding : read.findings) FormatRow(index, finding);
  if (read.form == SitemapRead::Form::Index) {
    std::vector<std::string> named;
    for (const SitemapListed& listed : read.entries) named.push_back(listed.address);
    return named;
  }
  for (const SitemapListed& listed : read.entries) {
    if (full_) break;
    AddEntry(listed, index);
  }
  return {};
}

void SitemapAudit::AddEntry(const SitemapListed& listed, uint32_t document) {
  AuditRow row;
  row.address = listed.address;
  row.detail = documents_[document];
  if (listed.address.size() > kMaxSitemapAddress) {
    row.kind = AuditKind::TooLong;
    rows_.push_back(std::move(row));
    return;
  }
  WebAddress address;
  if (!ParseWebAddress(listed.address, address)) {
    FormatRow(document, {SitemapFault::NotAddress, listed.line, listed.address});
    return;
  }
  if (!IsOnSite(origin_, address)) {
    row.kind = AuditKind::Offsite;
    rows_.push_back(std::move(row));
    return;
  }
  const std::string path = rules_.empty() ? address.pathAndQuery : rules_.ApplyToPath(address.pathAndQuery);
  if (entries_.count(path) != 0) {
    FormatRow(document, {SitemapFault::Duplicate, listed.line, listed.address});
    return;
  }
  if (entries_.size() >= kMaxEntries) {
    full_ = true;
    FormatRow(document, {SitemapFault::TooManyAddresses, listed.line, {}});
    return;
  }
  // Only a file's own rules refuse an entry: a robots.txt that could not be read says nothing of it.
  if (robots_.access == RobotsAccess::Rules && !robots_.IsAllowed(path)) {
    row.kind = AuditKind::Blocked;
    rows_.push_back(row);
  }
  entries_.emplace(path, Entry{listed.address, document});
}

void SitemapAudit::Loaded() {
  std::lock_guard<std::mutex> guard(lock_);
  loaded_ = true;
  std::vector<EarlyNote> early;
  early.swap(early_);
  for (const EarlyNote& note : early) NoteLocked(note.result, note.how, note.listed, note.detail, note.saysNoindex);
}

void SitemapAudit::Note(const PageResult& result, UrlLedger::Ending how, bool listed, const std::string& detail,
                        bool saysNoindex) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!loaded_) {
    early_.push_back({result, how, listed, detail, saysNoindex});
    return;
  }
  NoteLocked(result, how, listed, detail, saysNoindex);
}

void SitemapAudit::NoteLocked(const PageResult& result, UrlLedger::Ending how, bool listed,
                              const std::string& detail, bool saysNoindex) {
  auto found = entries_.find(result.path);
  if (found == entries_.end()) {
    // Ours lists it, theirs does not. A page without a body or left out of the results is in
    // neither.
    const bool ours = how == UrlLedger::Ending::Crawled && listed && result.inSitemap && result.outcome.ok() &&
                      FullAddress(origin_, result.path).size() <= kMaxSitemapAddress;
    if (ours) rows_.push_back({AuditKind::Missing, FullAddress(origin_, result.path), result.outcome, {}, {}});
    return;
  }
  Entry& entry = found->second;
  if (entry.done) return;
  entry.done = true;
  const PageOutcome& outcome = result.outcome;
  const std::string& document = documents_[entry.document];
  if (entry.orphan) rows_.push_back({AuditKind::Orphan, entry.address, outcome, document, {}});
  if (outcome.IsRedirect()) {
    rows_.push_back({AuditKind::Redirect, entry.address, outcome, detail, {}});
  } else if (!outcome.ok()) {
    rows_.push_back({AuditKind::Error, entry.address, outcome, document, {}});
  } else if (how == UrlLedger::Ending::Noindex || saysNoindex) {
    rows_.push_back({AuditKind::Noindex, entry.address, outcome, document, {}});
  }
  if (outcome.ok() && !detail.empty()) rows_.push_back({AuditKind::Canonicalised, entry.address, outcome, detail, {}});
}

std::vector<std::string> SitemapAudit::Paths() const {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::string> paths;
  paths.reserve(entries_.size());
  for (const auto& [path, entry] : entries_) paths.push_back(path);
  return paths;
}

void SitemapAudit::MarkOrphan(const std::string& path, bool fetched) {
  std::lock_guard<std::mutex> guard(lock_);
  auto found = entries_.find(path);
  if (found == entries_.end()) return;
  Entry& entry = found->second;
  entry.orphan = true;
  if (!fetched && !entry.done) {
    entry.done = true;
    rows_.push_back({AuditKind::Orphan, entry.address, {}, documents_[entry.document], {}});
  }
}

bool SitemapAudit::IsOrphan(const std::string& path) const {
  std::lock_guard<std::mutex> guard(lock_);
  auto found = entries_.find(path);
  return found != entries_.end() && found->second.orphan;
}

void SitemapAudit::EndOrphans() {
  std::lock_guard<std::mutex> guard(lock_);
  for (auto& [path, entry] : entries_) {
    if (!entry.orphan || entry.done) continue;
    entry.done = true;
    rows_.push_back({AuditKind::Orphan, entry.address, {}, documents_[entry.document], {}});
  }
}

std::vector<AuditRow> SitemapAudit::RowsSince(size_t from) const {
  std::lock_guard<std::mutex> guard(lock_);
  if (from >= rows_.size()) return {};
  return std::vector<AuditRow>(rows_.begin() + static_cast<std::ptrdiff_t>(from), rows_.end());
}

size_t SitemapAudit::RowCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return rows_.size();
}
