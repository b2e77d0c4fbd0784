#include "output/CSitemapDocument.h"

#include <new>

#include "output/GzipText.h"

void CSitemapDocument::AppendEntry(std::string_view entry) {
  entries_.append(entry);
  ++urlCount_;
}

size_t CSitemapDocument::PrintedLength(const SitemapFrame& frame) const {
  if (closed()) return closedLength_;
  if (urlCount_ == 0) return frame.emptyText.size();
  return frame.head.size() + entries_.size() + frame.tail.size();
}

bool CSitemapDocument::Print(const SitemapFrame& frame, std::string& out) const {
  out.clear();
  try {
    if (closed()) return GunzipInMemory(*gzip_, out);
    if (urlCount_ == 0) {
      out = frame.emptyText;
      return true;
    }
    out.reserve(PrintedLength(frame));
    out.append(frame.head).append(entries_).append(frame.tail);
    return true;
  } catch (const std::bad_alloc&) {
    out.clear();
    return false;
  }
}

std::shared_ptr<const std::string> CSitemapDocument::GzipStream(const SitemapFrame& frame) const {
  if (closed()) return gzip_;
  try {
    std::string text;
    if (!Print(frame, text)) return nullptr;
    auto gzip = std::make_shared<std::string>();
    if (!GzipInMemory(text, *gzip)) return nullptr;
    return gzip;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void CSitemapDocument::Close(std::shared_ptr<const std::string> gzip, size_t printedLength) {
  if (!gzip || closed()) return;
  gzip_ = std::move(gzip);
  closedLength_ = printedLength;
  std::string().swap(entries_);  // give the memory back
}
