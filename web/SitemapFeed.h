#pragma once
#include <cstddef>
#include <memory>
#include <string>

// The body of one sitemap document as it arrives, in pieces: a gzip stream (known by its first
// two bytes, whatever the name says) is inflated on the way, and no more than kMaxBytes of
// text are ever kept, so a small file that inflates to gigabytes costs no more memory than a
// sitemap at the protocol's limit.
class SitemapFeed {
 public:
  // The protocol's limit for one document, uncompressed.
  static constexpr size_t kMaxBytes = 52428800;

  // limit: the most text kept (tests use a small one).
  explicit SitemapFeed(size_t limit = kMaxBytes);
  ~SitemapFeed();
  SitemapFeed(const SitemapFeed&) = delete;
  SitemapFeed& operator=(const SitemapFeed&) = delete;

  // Takes the next piece; false when nothing more is wanted (the limit is reached, or the
  // gzip stream is damaged), so the transfer can end.
  bool Add(const char* bytes, size_t n);
  // The transfer has ended: a gzip stream that has not reached its end is truncated.
  void End();

  const std::string& text() const { return text_; }
  std::string& text() { return text_; }
  bool gzip() const { return gzip_; }
  bool tooLarge() const { return tooLarge_; }  // the rest beyond the limit was not read
  bool damaged() const { return damaged_; }    // gzip by its header, but no gzip stream
  bool truncated() const { return truncated_; }

 private:
  class Inflater;
  bool Keep(const char* bytes, size_t n);
  bool Inflate(const char* bytes, size_t n);

  const size_t limit_;
  std::string text_;
  std::string head_;  // the first bytes, until there are two to tell gzip by
  bool decided_ = false;
  bool gzip_ = false;
  bool tooLarge_ = false;
  bool damaged_ = false;
  bool truncated_ = false;
  bool streamEnded_ = false;
  std::unique_ptr<Inflater> inflater_;
};
