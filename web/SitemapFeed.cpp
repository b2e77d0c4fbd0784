#include "web/SitemapFeed.h"

#include <zlib.h>

#include <algorithm>
#include <new>

// Owns one zlib inflate stream that reads gzip members.
class SitemapFeed::Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

SitemapFeed::SitemapFeed(size_t limit) : limit_(limit) {}

SitemapFeed::~SitemapFeed() = default;

bool SitemapFeed::Add(const char* bytes, size_t n) {
  if (tooLarge_ || damaged_) return false;
  if (n == 0) return true;
  try {
    if (!decided_) {
      // The first pieces are held until two bytes tell whether the body is gzip.
      head_.append(bytes, n);
      if (head_.size() < 2) return true;
      decided_ = true;
      gzip_ = static_cast<unsigned char>(head_[0]) == 0x1f && static_cast<unsigned char>(head_[1]) == 0x8b;
      if (gzip_) {
        inflater_ = std::make_unique<Inflater>();
        if (!inflater_->ok()) {
          damaged_ = true;
          return false;
        }
      }
      std::string first;
      first.swap(head_);
      return gzip_ ? Inflate(first.data(), first.size()) : Keep(first.data(), first.size());
    }
    return gzip_ ? Inflate(bytes, n) : Keep(bytes, n);
  } catch (const std::bad_alloc&) {
    tooLarge_ = true;
    return false;
  }
}

bool SitemapFeed::Keep(const char* bytes, size_t n) {
  const size_t room = limit_ - text_.size();
  if (n > room) {
    text_.append(bytes, room);
    tooLarge_ = true;
    return false;
  }
  text_.append(bytes, n);
  return true;
}

bool SitemapFeed::Inflate(const char* bytes, size_t n) {
  z_stream& z = inflater_->stream();
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
  z.avail_in = static_cast<uInt>(n);
  char out[16384];
  bool afterMember = false;
  for (;;) {
    if (streamEnded_) {
      if (z.avail_in == 0) return true;
      // Another gzip member follows (a concatenated file).
      if (inflateReset(&z) != Z_OK) return false;
      streamEnded_ = false;
      afterMember = true;
    }
    z.next_out = reinterpret_cast<Bytef*>(out);
    z.avail_out = sizeof out;
    const int result = inflate(&z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
      // Bytes after a complete member that are no gzip are left unread; anything else is damage.
      if (afterMember) {
        streamEnded_ = true;
        z.avail_in = 0;
        return false;
      }
      damaged_ = true;
      return false;
    }
    if (!Keep(out, sizeof out - z.avail_out)) return false;
    if (result == Z_STREAM_END) {
      streamEnded_ = true;
      continue;
    }
    if (z.avail_out != 0) return true;  // all input taken: the next piece goes on
  }
}

void SitemapFeed::End() {
  if (!decided_ && !head_.empty()) {
    // A body of one byte.
    text_ = head_;
    head_.clear();
    decided_ = true;
  }
  if (gzip_ && !streamEnded_ && !tooLarge_ && !damaged_) truncated_ = true;
}
