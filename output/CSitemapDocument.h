#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "output/SitemapFrame.h"

// One sitemap document, held as the text the XML printer gives for it rather than as a
// node tree (a tree costs several hundred bytes per address). While it receives addresses
// its url entries are kept as printed text and grow at the end; once closed it is held as
// its gzip stream, which is exactly what a gzip save writes, so it is never compressed again.
class CSitemapDocument {
 public:
  // Appends one printed url entry. Throws std::bad_alloc like any string append.
  void AppendEntry(std::string_view entry);
  size_t urlCount() const { return urlCount_; }
  bool closed() const { return gzip_ != nullptr; }

  // Length of the printed form (LF line ends).
  size_t PrintedLength(const SitemapFrame& frame) const;
  // The printed form; false when a closed document cannot be expanded.
  bool Print(const SitemapFrame& frame, std::string& out) const;

  // The gzip stream of the printed form; for a closed document its held stream.
  std::shared_ptr<const std::string> GzipStream(const SitemapFrame& frame) const;
  // Replaces the entries by their gzip stream (made by GzipStream); the document no longer
  // receives addresses.
  void Close(std::shared_ptr<const std::string> gzip, size_t printedLength);

 private:
  std::string entries_;
  size_t urlCount_ = 0;
  std::shared_ptr<const std::string> gzip_;
  size_t closedLength_ = 0;
};
