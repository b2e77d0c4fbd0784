#include "crawl/ContentDating.h"

#include "common/LocalDate.h"
#include "crawl/PageHistory.h"
#include "web/HttpDate.h"
#include "web/ResponseHeaders.h"

ContentDating::ContentDating(LastmodSource source, std::string historyFolder)
    : source_(source), historyFolder_(std::move(historyFolder)) {}

ContentDating::~ContentDating() = default;

void ContentDating::Open(const SiteOrigin& origin) {
  if (source_ != LastmodSource::Content || history_) return;
  history_ = std::make_unique<PageHistory>(LocalIsoDate());
  // Without its database every page is judged new, dated as on its first sight.
  history_->Open(PageHistory::SiteFolder(historyFolder_, origin.host, origin.port));
}

void ContentDating::Restore(const std::vector<PageResult>& results) {
  // The changes file of the whole crawl names them too.
  if (history_)
    for (const PageResult& page : results)
      history_->Restore(page.path, page.contentHash, page.lastmod, page.contentChange);
}

std::string ContentDating::HashOf(const std::string& body) const {
  return history_ ? PageHistory::HashOf(body) : std::string();
}

void ContentDating::DateFromSource(const std::string& path, const FetchedPage& page, const std::string& hash,
                                   PageResult& result) {
  if (source_ != LastmodSource::Header && source_ != LastmodSource::Content) return;
  // A malformed date, or one more than a day ahead, is no date: the page keeps the crawl's.
  const std::string header =
      W3cDateOfHttpDate(ResponseHeaders(page.headers).Field("Last-Modified")).value_or("");
  if (source_ == LastmodSource::Header || !history_) {
    result.lastmod = header;
    return;
  }
  PageHistory::Verdict verdict = history_->Judge(path, hash, header);
  result.lastmod = std::move(verdict.lastmod);
  result.contentHash = hash;
  result.contentChange = verdict.change;
}

void ContentDating::Close(bool complete) {
  if (!history_) return;
  // A history that never opened has its notice already; only an open one can fail its write.
  const bool opened = history_->isOpen();
  Status written = history_->Commit(complete);
  ContentChanges changes = history_->Changes(complete);
  if (opened && !written.ok()) changes.notice.writeFailure = std::move(written);
  history_.reset();
  std::lock_guard<std::mutex> guard(changesLock_);
  changes_ = std::move(changes);
}

ContentChanges ContentDating::Changes() const {
  std::lock_guard<std::mutex> guard(changesLock_);
  return changes_;
}
