#include "web/RecvBuffer.h"

#include <algorithm>
#include <new>
#include <utility>

RecvBuffer::RecvBuffer() {
  try {
    text_.reserve(kStep);
    ok_ = true;
  } catch (const std::bad_alloc&) {
    ok_ = false;
  }
}

RecvBuffer::RecvBuffer(std::string&& storage) : text_(std::move(storage)) {
  text_.clear();
  try {
    if (text_.capacity() < kStep) text_.reserve(kStep);
    ok_ = true;
  } catch (const std::bad_alloc&) {
    ok_ = false;
  }
}

size_t RecvBuffer::Append(const char* bytes, size_t n) {
  if (!ok_) return 0;
  if (n > kLimit || text_.size() + n > kLimit) return 0;
  try {
    if (text_.size() + n > text_.capacity()) {
      // Doubling, but never past the limit: the last step makes room for exactly 8 MiB.
      const size_t wanted = std::max(text_.size() + n, std::min<size_t>(2 * text_.capacity(), kLimit));
      text_.reserve(wanted);
    }
    text_.append(bytes, n);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return n;
}

void RecvBuffer::TakeText(std::string& out) {
  out.clear();
  out.swap(text_);
}

size_t RecvBuffer::WriteCallback(char* ptr, size_t size, size_t nmemb, void* userdata) {
  if (!userdata) return 0;
  if (size != 0 && nmemb > SIZE_MAX / size) return 0;
  return static_cast<RecvBuffer*>(userdata)->Append(ptr, size * nmemb);
}
