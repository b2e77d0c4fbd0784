#include "output/GzipText.h"

#include <zlib.h>

#include <climits>
#include <new>

namespace {

constexpr int kGzipWindowBits = MAX_WBITS + 16;  // deflate with a gzip wrapper
constexpr int kMemLevel = 8;                      // what gzopen uses
constexpr size_t kChunk = 64 * 1024;

// Owns one deflate or inflate stream.
class ZStream {
 public:
  explicit ZStream(bool deflating) : deflating_(deflating) {}
  ~ZStream() {
    if (!started_) return;
    if (deflating_) deflateEnd(&strm_);
    else inflateEnd(&strm_);
  }
  ZStream(const ZStream&) = delete;
  ZStream& operator=(const ZStream&) = delete;
  bool Start() {
    int r = deflating_ ? deflateInit2(&strm_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits,
                                      kMemLevel, Z_DEFAULT_STRATEGY)
                       : inflateInit2(&strm_, kGzipWindowBits);
    started_ = r == Z_OK;
    return started_;
  }
  z_stream& get() { return strm_; }

 private:
  z_stream strm_{};
  bool deflating_;
  bool started_ = false;
};

// Runs deflate like gzwrite followed by gzclose: all input with Z_NO_FLUSH, then Z_FINISH.
bool DeflateAll(z_stream& strm, std::string_view text, std::string& out) {
  char buf[kChunk];
  size_t left = text.size();
  strm.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  while (strm.avail_in > 0 || left > 0) {
    if (strm.avail_in == 0) {
      uInt n = left > UINT_MAX ? UINT_MAX : static_cast<uInt>(left);
      strm.avail_in = n;
      left -= n;
    }
    strm.next_out = reinterpret_cast<Bytef*>(buf);
    strm.avail_out = sizeof(buf);
    if (deflate(&strm, Z_NO_FLUSH) == Z_STREAM_ERROR) return false;
    out.append(buf, sizeof(buf) - strm.avail_out);
  }
  for (;;) {
    strm.next_out = reinterpret_cast<Bytef*>(buf);
    strm.avail_out = sizeof(buf);
    int r = deflate(&strm, Z_FINISH);
    if (r == Z_STREAM_ERROR) return false;
    out.append(buf, sizeof(buf) - strm.avail_out);
    if (r == Z_STREAM_END) return true;
  }
}

}  // namespace

bool GzipInMemory(std::string_view text, std::string& gzip) {
  gzip.clear();
  try {
    ZStream stream(true);
    if (!stream.Start()) return false;
    std::string out;
    if (!DeflateAll(stream.get(), text, out)) return false;
    out.shrink_to_fit();
    gzip.swap(out);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool GunzipInMemory(std::string_view gzip, std::string& text) {
  text.clear();
  try {
    ZStream stream(false);
    if (!stream.Start()) return false;
    z_stream& strm = stream.get();
    strm.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gzip.data()));
    if (gzip.size() > UINT_MAX) return false;
    strm.avail_in = static_cast<uInt>(gzip.size());
    char buf[kChunk];
    std::string out;
    for (;;) {
      strm.next_out = reinterpret_cast<Bytef*>(buf);
      strm.avail_out = sizeof(buf);
      int r = inflate(&strm, Z_NO_FLUSH);
      out.append(buf, sizeof(buf) - strm.avail_out);
      if (r == Z_STREAM_END) break;
      if (r != Z_OK) return false;  // damaged, or input ended early (Z_BUF_ERROR)
    }
    text.swap(out);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}
