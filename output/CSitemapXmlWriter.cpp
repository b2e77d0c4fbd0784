#include "output/CSitemapXmlWriter.h"

#include <boost/thread/locks.hpp>

#include <new>

#include "output/GzipText.h"
#include "output/SitemapEscape.h"
#include "output/SitemapFiles.h"

namespace {

using SharedLock = boost::shared_lock<boost::shared_mutex>;
using ExclusiveLock = boost::unique_lock<boost::shared_mutex>;

}  // namespace

CSitemapXmlWriter::CSitemapXmlWriter() { Initialise(LocalIsoDate(), SitemapContent{}); }

CSitemapXmlWriter::CSitemapXmlWriter(const std::string& lastmod) { Initialise(lastmod, SitemapContent{}); }

CSitemapXmlWriter::CSitemapXmlWriter(const std::string& lastmod, const SitemapContent& content) {
  Initialise(lastmod.empty() ? LocalIsoDate() : lastmod, content);
}

void CSitemapXmlWriter::Initialise(const std::string& lastmod, const SitemapContent& content) {
  content_ = content;
  date_ = lastmod;
  childTemplate_.clear();
  if (content.lastmodFrom != LastmodSource::None) childTemplate_["lastmod"] = lastmod;
  if (!content.changefreq.empty()) childTemplate_["changefreq"] = content.changefreq;
  if (!content.priorities.empty()) childTemplate_["priority"] = content.priorities.front();
  ExclusiveLock lock(documentLock_);
  ready_ = NewDocumentWithHeader();
}

bool CSitemapXmlWriter::NewDocumentWithHeader() {
  try {
    if (frame_.head.empty() && !BuildSitemapFrame(childTemplate_, frame_, content_.languageAlternates, content_.images))
      return false;
    documents_.push_back(std::make_unique<CSitemapDocument>());
    ++currentIndex_;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// The full document never changes again: it is held as its gzip stream from now on. The
// stream is made under the shared side so a running save is not held up by the compression.
void CSitemapXmlWriter::StartNextDocument() {
  CSitemapDocument* full = documents_[static_cast<size_t>(currentIndex_)].get();
  std::shared_ptr<const std::string> gzip;
  size_t length = 0;
  {
    SharedLock lock(documentLock_);
    gzip = full->GzipStream(frame_);
    length = full->PrintedLength(frame_);
  }
  ExclusiveLock lock(documentLock_);
  if (NewDocumentWithHeader()) full->Close(std::move(gzip), length);
  // else the full document stays current and open
}

Status CSitemapXmlWriter::AddUrl(const std::string& address) { return AddUrl(address, std::string()); }

Status CSitemapXmlWriter::AddUrl(const std::string& address, const std::string& lastmod) {
  return AddUrl(address, lastmod, 0, {});
}

std::string CSitemapXmlWriter::EntryText(const std::string& address, const std::string& lastmod, int32_t depth,
                                         const std::vector<std::pair<std::string, std::string>>& alternates,
                                         const std::vector<std::string>& images) const {
  std::string entry;
  AppendSitemapEntry(frame_, address, lastmod.empty() ? date_ : lastmod,
                     PriorityAtDepth(content_.priorities, depth), alternates, entry, images);
  return entry;
}

Status CSitemapXmlWriter::AddUrl(const std::string& address, const std::string& lastmod, int32_t depth,
                                 const std::vector<std::pair<std::string, std::string>>& alternates,
                                  const std::vector<std::string>& images) {
  if (!ready_ || currentIndex_ < 0 || static_cast<size_t>(currentIndex_) >= documents_.size() ||
      !documents_[static_cast<size_t>(currentIndex_)]) {
    return StatusCode::kMissing;
  }
  try {
    const std::string entry = EntryText(address, lastmod, depth, alternates, images);
    size_t length = 0;
    {
      SharedLock lock(documentLock_);
      length = documents_[static_cast<size_t>(currentIndex_)]->PrintedLength(frame_);
    }
    if (length > kSplitSize) StartNextDocument();
    ExclusiveLock lock(documentLock_);
    CSitemapDocument& current = *documents_[static_cast<size_t>(currentIndex_)];
    if (current.closed()) return StatusCode::kAttach;
    current.AppendEntry(entry);
    return {};
  } catch (const std::bad_alloc&) {
    return StatusCode::kAttach;
  }
}

Status CSitemapXmlWriter::PrintCurrent(std::string& out, size_t* urlCount) {
  out.clear();
  SharedLock lock(documentLock_);
  if (currentIndex_ < 0 || static_cast<size_t>(currentIndex_) >= documents_.size()) return StatusCode::kMissing;
  const CSitemapDocument* doc = documents_[static_cast<size_t>(currentIndex_)].get();
  if (!doc) return StatusCode::kMissing;
  if (urlCount) *urlCount = doc->urlCount();
  return doc->Print(frame_, out) ? Status() : Status(StatusCode::kGeneral, "the sitemap document could not be printed");
}

size_t CSitemapXmlWriter::CurrentUrlCount() const {
  SharedLock lock(documentLock_);
  if (currentIndex_ < 0 || static_cast<size_t>(currentIndex_) >= documents_.size()) return 0;
  const CSitemapDocument* doc = documents_[static_cast<size_t>(currentIndex_)].get();
  return doc ? doc->urlCount() : 0;
}

Status CSitemapXmlWriter::PrintDocument(size_t index, std::string& out, size_t* urlCount) const {
  out.clear();
  SharedLock lock(documentLock_);
  const CSitemapDocument* doc = index < documents_.size() ? documents_[index].get() : nullptr;
  if (!doc) return StatusCode::kMissing;
  if (urlCount) *urlCount = doc->urlCount();
  return doc->Print(frame_, out) ? Status() : Status(StatusCode::kGeneral, "the sitemap document could not be printed");
}

size_t CSitemapXmlWriter::UrlCount(size_t index) const {
  SharedLock lock(documentLock_);
  const CSitemapDocument* doc = index < documents_.size() ? documents_[index].get() : nullptr;
  return doc ? doc->urlCount() : 0;
}

int32_t CSitemapXmlWriter::currentIndex() const {
  SharedLock lock(documentLock_);
  return currentIndex_;
}

size_t CSitemapXmlWriter::documentCount() const {
  SharedLock lock(documentLock_);
  return documents_.size();
}

std::string CSitemapXmlWriter::FileName(const std::string& prefix, size_t index, bool gzip) {
  std::string name = prefix.empty() ? std::string("sitemap") : prefix + "_sitemap";
  name += std::to_string(index);
  name += gzip ? ".xml.gz" : ".xml";
  return name;
}

Status CSitemapXmlWriter::SaveAll(const std::string& prefix, bool gzip, FileWriteResult* firstFailure,
                                  std::vector<std::string>* savedNames) {
  FileWriteResult first;
  StatusCode result = StatusCode::kOk;
  if (savedNames) savedNames->clear();
  try {
    std::lock_guard<std::mutex> saving(saveLock_);
    if (!ready_) {
      first = PrepareFailure(FileName(prefix, 0, gzip), StatusCode::kMissing, "no sitemap document");
      result = StatusCode::kMissing;
    } else {
      size_t count = documentCount();
      for (size_t i = 0; i < count; ++i) {
        FileWriteResult one;
        std::string name = FileName(prefix, i, gzip);
        if (SaveDocument(i, name, gzip, one).ok()) {
          if (savedNames) savedNames->push_back(std::move(name));
          continue;
        }
        if (first.ok()) first = one;
        result = StatusCode::kFileOpen;
      }
    }
  } catch (const std::exception&) {
    if (first.ok()) first = PrepareFailure(FileName(prefix, 0, gzip), StatusCode::kGeneral, "out of memory");
    result = StatusCode::kGeneral;
  }
  if (firstFailure) *firstFailure = first;
  // The code of the whole save, with the words of its first failure.
  return result == StatusCode::kOk ? Status() : Status(result, first.status().message());
}

// Takes what the file needs under the shared side (a closed document's stream is shared,
// an open one is printed), then writes without holding the lock.
Status CSitemapXmlWriter::SaveDocument(size_t index, const std::string& name, bool gzip, FileWriteResult& result) {
  std::shared_ptr<const std::string> stream;
  std::string text;
  auto printFailed = [&]() -> Status {
    result = PrepareFailure(name, StatusCode::kGeneral, "the sitemap document could not be printed");
    return result.status();
  };
  {
    SharedLock lock(documentLock_);
    const CSitemapDocument* doc = documents_[index].get();
    if (!doc) return {};
    if (doc->closed()) stream = doc->GzipStream(frame_);
    else if (!doc->Print(frame_, text)) return printFailed();
  }
  if (gzip) return stream ? WriteSitemapBytes(name, *stream, &result) : WriteGzipSitemapFile(name, text, &result);
  if (stream && !GunzipInMemory(*stream, text)) return printFailed();
  return WritePlainSitemapFile(name, text, &result);
}
