#include "crawl/JournalRecords.h"

#include "store/TextArchive.h"
#include "store/UrlState.h"
#include "web/StatusTextTable.h"

namespace {

void WriteSet(TextArchiveWriter& w, const StringISet& set) {
  w.WriteCount(set.size());
  for (const std::string& item : set) w.WriteString(item);
}

bool ReadSet(TextArchiveReader& r, StringISet& set) {
  uint64_t count = 0;
  if (!r.ReadCount(count) || count > r.remaining()) return false;
  for (uint64_t i = 0; i < count; ++i) {
    std::string item;
    if (!r.ReadString(item)) return false;
    set.insert(item);
  }
  return true;
}

bool ReadBool(TextArchiveReader& r, bool& value) {
  int32_t n = 0;
  if (!r.ReadInt(n) || (n != 0 && n != 1)) return false;
  value = n == 1;
  return true;
}

void WriteList(TextArchiveWriter& w, const std::vector<std::string>& list) {
  w.WriteCount(list.size());
  for (const std::string& item : list) w.WriteString(item);
}

bool ReadList(TextArchiveReader& r, std::vector<std::string>& list) {
  uint64_t count = 0;
  if (!r.ReadCount(count) || count > r.remaining()) return false;
  list.clear();
  for (uint64_t i = 0; i < count; ++i) {
    std::string item;
    if (!r.ReadString(item)) return false;
    list.push_back(std::move(item));
  }
  return true;
}

bool ReadAlternates(TextArchiveReader& r, LanguageAlternates& alternates) {
  uint64_t count = 0;
  if (!r.ReadCount(count) || count > r.remaining()) return false;
  for (uint64_t i = 0; i < count; ++i) {
    std::string language, address;
    if (!r.ReadString(language) || !r.ReadString(address)) return false;
    alternates.emplace_back(std::move(language), std::move(address));
  }
  return true;
}

bool ReadLastmodSource(TextArchiveReader& r, LastmodSource& source) {
  int32_t value = 0;
  if (!r.ReadInt(value) || value < 0 || value > static_cast<int32_t>(LastmodSource::None)) return false;
  source = static_cast<LastmodSource>(value);
  return true;
}

// A result written before lastmod from content ends after its alternates.
bool ReadContentChange(TextArchiveReader& r, JournalResult& res) {
  if (r.remaining() == 0) return true;
  int32_t change = 0;
  if (!r.ReadString(res.contentHash) || !r.ReadInt(change) || change < 0 ||
      change > static_cast<int32_t>(ContentChange::Unchanged))
    return false;
  res.contentChange = static_cast<ContentChange>(change);
  return true;
}

// A journal written before the URL rules ends here; its crawl had none.
bool ReadUrlRules(TextArchiveReader& r, CrawlRules& rules) {
  if (r.remaining() == 0) return true;
  return ReadList(r, rules.removeParams) && ReadBool(r, rules.removeAllParams) && ReadList(r, rules.keepParams) &&
         ReadList(r, rules.skipPatterns) && r.ReadInt(rules.maxPages) && rules.maxPages >= 0;
}

// A journal written before the audit ends here; its crawl had none.
bool ReadAudit(TextArchiveReader& r, CrawlRules& rules) {
  return r.remaining() == 0 || ReadBool(r, rules.auditSitemap);
}

}  // namespace

std::string StartText(const CrawlStartParams& p) {
  TextArchiveWriter w;
  w.WriteString(p.startUrl);
  w.WriteInt(p.maxDepth);
  w.WriteInt(p.threadCount);
  WriteSet(w, p.forbiddenExtensions);
  w.WriteInt(p.rules.obeyRobots ? 1 : 0);
  w.WriteInt(p.rules.minIntervalMs);
  w.WriteString(p.rules.userAgent);
  // Once a switch for the Last-Modified header: 0 and 1 still read as they always did.
  w.WriteInt(static_cast<int32_t>(p.sitemap.lastmodFrom));
  w.WriteInt(p.rules.renderScripts ? 1 : 0);
  w.WriteInt(p.sitemap.canonicalOnly ? 1 : 0);
  w.WriteInt(p.sitemap.languageAlternates ? 1 : 0);
  w.WriteString(p.sitemap.changefreq);
  WriteList(w, p.sitemap.priorities);
  w.WriteInt(p.sitemap.indexFile ? 1 : 0);
  WriteSet(w, p.includePatterns);
  WriteSet(w, p.excludePatterns);
  WriteList(w, p.rules.removeParams);
  w.WriteInt(p.rules.removeAllParams ? 1 : 0);
  WriteList(w, p.rules.keepParams);
  WriteList(w, p.rules.skipPatterns);
  w.WriteInt(p.rules.maxPages);
  w.WriteInt(p.rules.auditSitemap ? 1 : 0);
  w.WriteInt(p.sitemap.htmlPage ? 1 : 0);
  w.WriteInt(p.sitemap.images ? 1 : 0);
  return w.text();
}

bool ReadStart(const std::string& text, CrawlStartParams& p) {
  TextArchiveReader r(text);
  return r.ReadHeader() && r.ReadString(p.startUrl) && r.ReadInt(p.maxDepth) && r.ReadInt(p.threadCount) &&
         ReadSet(r, p.forbiddenExtensions) && ReadBool(r, p.rules.obeyRobots) && r.ReadInt(p.rules.minIntervalMs) &&
         r.ReadString(p.rules.userAgent) && ReadLastmodSource(r, p.sitemap.lastmodFrom) &&
         ReadBool(r, p.rules.renderScripts) && ReadBool(r, p.sitemap.canonicalOnly) &&
         ReadBool(r, p.sitemap.languageAlternates) && r.ReadString(p.sitemap.changefreq) &&
         ReadList(r, p.sitemap.priorities) && ReadBool(r, p.sitemap.indexFile) && ReadSet(r, p.includePatterns) &&
         ReadSet(r, p.excludePatterns) && ReadUrlRules(r, p.rules) && ReadAudit(r, p.rules) &&
         (r.remaining() == 0 || ReadBool(r, p.sitemap.htmlPage)) &&
         (r.remaining() == 0 || ReadBool(r, p.sitemap.images)) && r.remaining() == 0;
}

std::string OriginText(const SiteOrigin& origin) {
  TextArchiveWriter w;
  w.WriteString(origin.scheme);
  w.WriteString(origin.host);
  w.WriteString(origin.port);
  return w.text();
}

bool ReadOrigin(const std::string& text, SiteOrigin& origin) {
  TextArchiveReader r(text);
  return r.ReadHeader() && r.ReadString(origin.scheme) && r.ReadString(origin.host) && r.ReadString(origin.port) &&
         r.remaining() == 0 && !origin.host.empty();
}


bool ReadAdmit(const std::string& text, JournalAdmit& a) {
  TextArchiveReader r(text);
  int32_t tracking = 0, version = 0;
  return r.ReadHeader() && r.ReadInt(tracking) && r.ReadInt(version) && r.ReadInt(a.record.depth) &&
         r.ReadInt(a.record.state) && r.ReadInt(a.record.excludedFlag) && r.ReadString(a.record.code) &&
         r.ReadInt(a.admission) && a.admission >= 0 && a.admission <= 2 && r.ReadString(a.parent) &&
         r.remaining() == 0;
}



bool ReadResult(const std::string& text, JournalResult& res) {
  TextArchiveReader r(text);
  std::string code;
  if (!(r.ReadHeader() && r.ReadInt(res.depth) && r.ReadInt(res.state) &&
        (res.state == Crawled || res.state == Failed) && r.ReadInt(res.listing) && res.listing >= 0 &&
        res.listing <= 3 && r.ReadString(code) && r.ReadString(res.lastmod) && r.ReadString(res.description) &&
        r.ReadString(res.path) && r.ReadString(res.parent) && ReadAlternates(r, res.alternates) &&
        ReadContentChange(r, res) && (r.remaining() == 0 || r.ReadString(res.title)) &&
        (r.remaining() == 0 || ReadList(r, res.images)) && r.remaining() == 0 &&
        !res.path.empty()))
    return false;
  const std::optional<PageOutcome> outcome = PageOutcome::FromText(code);
  if (!outcome) return false;  // no outcome writes that text
  res.outcome = *outcome;
  return true;
}


bool AdmitText(const std::string& parent, int32_t depth, int32_t admission, bool excluded, std::string& text) {
  // url_prop's text form (depth, state, flag, code), then how it was counted and its parent.
  TextArchiveWriter w;
  w.WriteInt(0);
  w.WriteInt(0);
  w.WriteInt(depth);
  w.WriteInt(admission == 0 ? Waiting : NotAllowed);
  w.WriteInt(excluded ? 1 : 0);
  w.WriteString("");
  w.WriteInt(admission);
  w.WriteString(parent);
  if (!w.ok()) return false;
  text = w.text();
  return true;
}

bool ResultText(const PageResult& result, int32_t state, int32_t listing, std::string& text) {
  TextArchiveWriter w;
  w.WriteInt(result.depth);
  w.WriteInt(state == Crawled ? Crawled : Failed);
  w.WriteInt(listing);
  const std::string code = result.outcome.Text();
  w.WriteString(code);
  w.WriteString(result.lastmod);
  const std::string* description = result.outcome.ok() ? nullptr : StatusText(code);
  w.WriteString(description ? *description : std::string());
  w.WriteString(result.path);
  w.WriteString(result.parent);
  w.WriteCount(result.alternates.size());
  for (const auto& [language, address] : result.alternates) {
    w.WriteString(language);
    w.WriteString(address);
  }
  // Only a page judged against its history, or with a title or images, has these: the
  // records of every other crawl stay as they were. Each field is written when a later one is.
  const bool images = !result.images.empty();
  if (result.contentChange != ContentChange::Unknown || !result.title.empty() || images) {
    w.WriteString(result.contentHash);
    w.WriteInt(static_cast<int32_t>(result.contentChange));
    if (!result.title.empty() || images) w.WriteString(result.title);
    if (images) WriteList(w, result.images);
  }
  if (!w.ok()) return false;
  text = w.text();
  return true;
}
