#include "output/CrawlResults.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "common/PercentEncoding.h"
#include "common/TextCodec.h"
#include "output/CReplacingFile.h"
#include "crawl/SitemapContent.h"
#include "output/CSitemapXmlWriter.h"
#include "output/ChangesTsv.h"
#include "output/FailureTsv.h"
#include "output/HtmlSitemap.h"
#include "output/SitemapEntry.h"
#include "output/SitemapIndex.h"
#include "output/UrlListFile.h"

namespace {

Status Report(const CReplacingFile& file, FileWriteResult* result) {
  if (result) *result = file.result();
  return file.status();
}

// A file of the site in dir; dir empty: the working folder.
std::string InFolder(const std::string& dir, const std::string& name) {
  return dir.empty() ? name : (std::filesystem::path(dir) / name).string();
}

}  // namespace

std::string SiteFileName(const SiteOrigin& origin) {
  std::string name = origin.host;
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
    // An IPv6 literal: no brackets, and "-" for ":" so the name stays one word in a shell.
    name = name.substr(1, name.size() - 2);
    for (char& c : name)
      if (c == ':') c = '-';
  }
  if (origin.port.size() < 2) return name;
  return name + "_" + origin.port.substr(1);  // ":8080"
}

CrawlResults::CrawlResults() : writer_(std::make_shared<CSitemapXmlWriter>()) { date_ = writer_->date(); }

CrawlResults::CrawlResults(const std::string& lastmod) : writer_(std::make_shared<CSitemapXmlWriter>(lastmod)) {
  date_ = writer_->date();
}

CrawlResults::CrawlResults(const SitemapContent& content, const std::string& lastmod)
    : content_(content), writer_(std::make_shared<CSitemapXmlWriter>(lastmod, content)) {
  date_ = writer_->date();
}

CrawlResults::~CrawlResults() = default;

void CrawlResults::AddPortion(const CrawlPortion& portion, const SiteOrigin& origin) {
  std::shared_ptr<CSitemapXmlWriter> writer;
  {
    std::lock_guard<std::mutex> guard(lock_);
    origin_ = origin;
    for (const std::string& address : portion.okAddresses) {
      okAddresses_ += address;
      okAddresses_ += '\0';
      ++okCount_;
      auto depth = portion.depths.find(address);
      okDepths_.push_back(depth == portion.depths.end() ? kNotInSitemap : depth->second);
    }
    for (const auto& page : portion.alternates) alternates_.insert(page);
    for (const auto& page : portion.titles) titles_.insert(page);
    for (const auto& page : portion.images) images_.insert(page);
    tooLong_ += portion.tooLong;
    failures_.insert(failures_.end(), portion.failures.begin(), portion.failures.end());
    for (const auto& own : portion.lastmods) lastmods_.insert(own);
    writer = writer_;
  }
  // The writer has its own lock; the lists are free again meanwhile.
  if (!writer) return;
  for (const SitemapEntry& entry : SitemapEntriesOf(portion))
    writer->AddUrl(entry.address, entry.lastmod, entry.depth, entry.alternates, entry.images);
}

void CrawlResults::SetOrigin(const SiteOrigin& origin) {
  std::lock_guard<std::mutex> guard(lock_);
  origin_ = origin;
}

// Calls fn(address, index into the fetched list) for each page of the sitemap once, in byte
// order. Under lock_.
template <class Fn>
void CrawlResults::ForEachSitemapPage(Fn fn) const {
  // The sitemap's pages, as views into the list of fetched addresses, with their place in it.
  std::vector<std::pair<std::string_view, size_t>> pages;
  pages.reserve(okCount_);
  ForEachFetched([&](std::string_view address, size_t index) {
    if (index < okDepths_.size() && okDepths_[index] != kNotInSitemap) pages.emplace_back(address, index);
    return true;
  });
  std::sort(pages.begin(), pages.end());
  std::string_view previous;
  for (const auto& [address, at] : pages) {
    if (address == previous) continue;
    previous = address;
    fn(address, at);
  }
}

std::vector<std::string> CrawlResults::SitemapAddresses() const {
  std::vector<std::string> addresses;
  std::lock_guard<std::mutex> guard(lock_);
  ForEachSitemapPage([&](std::string_view address, size_t) { addresses.emplace_back(address); });
  return addresses;
}

std::vector<std::string> CrawlResults::PushAddresses() const {
  std::vector<std::string> addresses = SitemapAddresses();
  const ContentChanges changes = this->changes();
  if (!changes.judged) return addresses;
  const SiteOrigin site = origin();
  std::set<std::string> changed;
  for (const ContentChangeRow& row : changes.rows)
    if (row.kind == ContentChange::New || row.kind == ContentChange::Changed) changed.insert(FullAddress(site, row.path));
  std::erase_if(addresses, [&](const std::string& address) { return changed.count(address) == 0; });
  return addresses;
}

void CrawlResults::SortSitemap() {
  if (!sitemap()) return;
  auto sorted = std::make_shared<CSitemapXmlWriter>(date_, content_);
  {
    std::lock_guard<std::mutex> guard(lock_);
    FillSorted(*sorted, nullptr);
  }
  std::lock_guard<std::mutex> guard(lock_);
  if (writer_) writer_ = std::move(sorted);  // unless released meanwhile
}

void CrawlResults::FillSorted(CSitemapXmlWriter& writer, const std::set<std::string>* only) const {
  ForEachSitemapPage([&](std::string_view address, size_t at) {
    const std::string text(address);
    if (only && !only->count(text)) return;
    auto own = lastmods_.find(text);
    auto alternates = alternates_.find(text);
    auto images = images_.find(text);
    writer.AddUrl(text, own == lastmods_.end() ? std::string() : own->second, okDepths_[at],
                  alternates == alternates_.end() ? LanguageAlternates() : alternates->second,
                  images == images_.end() ? std::vector<std::string>() : images->second);
  });
}

void CrawlResults::SetChanges(ContentChanges changes) {
  std::lock_guard<std::mutex> guard(lock_);
  changes_ = std::move(changes);
}

ContentChanges CrawlResults::changes() const {
  std::lock_guard<std::mutex> guard(lock_);
  return changes_;
}

Status CrawlResults::SaveChanges(const std::string& dir, FileWriteResult* result) const {
  const ContentChanges changes = this->changes();
  if (!changes.judged) {
    if (result) *result = PrepareFailure(dir, StatusCode::kMissing, "the crawl judged no content");
    return StatusCode::kMissing;
  }
  const SiteOrigin site = origin();
  CReplacingFile out(InFolder(dir, ChangesName(SiteFileName(site))));
  if (!out.isOpen()) return Report(out, result);
  std::string text;
  for (const ContentChangeRow& row : changes.rows)
    text += ChangesTsvLine(row.kind, FullAddress(site, row.path), row.lastmod);
  if (out.Write(text)) out.Commit();
  return Report(out, result);
}

Status CrawlResults::SaveChangedSitemap(const std::string& dir, bool gzip, FileWriteResult* result) const {
  const ContentChanges changes = this->changes();
  const SiteOrigin site = origin();
  std::set<std::string> changed;
  for (const ContentChangeRow& row : changes.rows)
    if (row.kind == ContentChange::New || row.kind == ContentChange::Changed) changed.insert(FullAddress(site, row.path));
  CSitemapXmlWriter writer(date_, content_);
  {
    std::lock_guard<std::mutex> guard(lock_);
    FillSorted(writer, &changed);
  }
  FileWriteResult failure;
  Status saved = writer.SaveAll(InFolder(dir, ChangedSitemapPrefix(SiteFileName(site))), gzip, &failure);
  if (result) *result = failure;
  return saved;
}

size_t CrawlResults::okCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return okCount_;
}

size_t CrawlResults::failureCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return failures_.size();
}

size_t CrawlResults::tooLongCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return tooLong_;
}

std::vector<std::string> CrawlResults::FetchedAddresses() const {
  std::vector<std::string> addresses;
  std::lock_guard<std::mutex> guard(lock_);
  addresses.reserve(okCount_);
  ForEachFetched([&](std::string_view address, size_t) {
    addresses.emplace_back(address);
    return true;
  });
  return addresses;
}

std::optional<FailedPage> CrawlResults::FirstFailure() const {
  std::lock_guard<std::mutex> guard(lock_);
  if (failures_.empty()) return std::nullopt;
  return failures_.front();
}

std::vector<FailedPage> CrawlResults::Failures() const {
  std::lock_guard<std::mutex> guard(lock_);
  return failures_;
}

std::string CrawlResults::SiteName() const { return SiteFileName(origin()); }

SiteOrigin CrawlResults::origin() const {
  std::lock_guard<std::mutex> guard(lock_);
  return origin_;
}

std::shared_ptr<CSitemapXmlWriter> CrawlResults::sitemap() const {
  std::lock_guard<std::mutex> guard(lock_);
  return writer_;
}

Status CrawlResults::SaveSitemap(const std::string& dir, bool gzip, FileWriteResult* result, bool index,
                                 std::vector<std::string>* savedNames) const {
  std::shared_ptr<CSitemapXmlWriter> writer = sitemap();
  const SiteOrigin site = origin();
  const std::string prefix = InFolder(dir, SiteFileName(site));
  FileWriteResult failure;
  std::vector<std::string> saved;
  Status outcome;
  if (!writer) {
    failure = PrepareFailure(dir, StatusCode::kMissing, "the sitemap was already released");
    outcome = failure.status();
  } else {
    outcome = writer->SaveAll(prefix, gzip, &failure, &saved);
    // The index's own failure, with its file and cause, as the documents' would be told.
    if (outcome.ok() && index)
      outcome = WriteSitemapIndexFor({saved, FullAddress(site, "/"), prefix, ""}, nullptr, &failure);
  }
  if (result) *result = failure;
  if (savedNames) *savedNames = std::move(saved);
  return outcome;
}

void CrawlResults::ReleaseSitemap() {
  std::lock_guard<std::mutex> guard(lock_);
  writer_.reset();
}

Status CrawlResults::SaveUrlList(const std::string& dir, FileWriteResult* result) const {
  // The bytes of SaveUrlListFile for the text of every UrlListLine, written line by line, so
  // the whole text is never held at once. Trimming the whole text only touches the end of
  // the last line (every address begins with its scheme).
  CReplacingFile out(InFolder(dir, UrlListName(SiteName())));
  if (!out.isOpen()) return Report(out, result);
  std::lock_guard<std::mutex> guard(lock_);
  const bool written = ForEachFetched([&](std::string_view address, size_t index) {
    std::string line = UrlListLine(std::string(address));
    if (index + 1 == okCount_) line = TrimWhitespace(line);
    return out.Write(line);
  });
  if (!written) return Report(out, result);
  out.Commit();
  return Report(out, result);
}

Status CrawlResults::SaveFailures(const std::string& dir, FileWriteResult* result) const {
  constexpr size_t kPiece = 64 * 1024;
  CReplacingFile out(InFolder(dir, FailureListName(SiteName())));
  if (!out.isOpen()) return Report(out, result);
  std::lock_guard<std::mutex> guard(lock_);
  std::string piece;
  for (const FailedPage& failure : failures_) {
    piece += FailureTsvLine(failure.path, failure.outcome.Text(), failure.foundOn, failure.redirectTo);
    if (piece.size() >= kPiece) {
      if (!out.Write(piece)) return Report(out, result);
      piece.clear();
    }
  }
  if (out.Write(piece)) out.Commit();
  return Report(out, result);
}

Status CrawlResults::SaveDeadLinks(const std::string& dir, bool everyFailure, FileWriteResult* result) const {
  CReplacingFile out(InFolder(dir, DeadLinkListName(SiteName())));
  if (!out.isOpen()) return Report(out, result);
  std::vector<std::string> dead;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (const FailedPage& failure : failures_)
      if (everyFailure || failure.outcome == PageOutcome::Status(404) || failure.outcome == PageOutcome::Status(410))
        dead.push_back(PercentEncode(FullAddress(origin_, failure.path), PercentEncodeSet::kAddress));
  }
  // In byte order, each once, so two crawls of one site give the same file.
  std::sort(dead.begin(), dead.end());
  dead.erase(std::unique(dead.begin(), dead.end()), dead.end());
  std::string text;
  for (const std::string& address : dead) text += address + '\n';
  if (out.Write(text)) out.Commit();
  return Report(out, result);
}

Status CrawlResults::SaveHtmlSitemap(const std::string& dir, FileWriteResult* result,
                                     std::vector<std::string>* savedNames) const {
  std::vector<HtmlSitemapEntry> entries;
  std::string site;
  {
    std::lock_guard<std::mutex> guard(lock_);
    site = SiteFileName(origin_);
    ForEachSitemapPage([&](std::string_view address, size_t) {
      const std::string text(address);
      auto title = titles_.find(text);
      entries.push_back({text, title == titles_.end() ? std::string() : title->second});
    });
  }
  return WriteHtmlSitemap(dir, site, std::move(entries), result, savedNames);
}
