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

RecvBuffer::RecvBuffer(std::string&& storage, std::function<bool()> holdLarge)
    : text_(std::move(storage)), holdLarge_(std::move(holdLarge)) {
  text_.clear();
  try {
    if (text_.capacity() < kStep) text_.reserve(kStep);
    ok_ = true;
  } catch (const std::bad_alloc&) {
    ok_ = false;
  }
}

// Doubling up to a MiB, then whole MiBs: never past the limit, whose last step makes room
// for exactly 8 MiB.
size_t RecvBuffer::Room(size_t needed) const {
  size_t room = std::max(needed, std::min<size_t>(2 * text_.capacity(), kLargeBody));
  if (room > kLargeBody) room = (needed + kLargeBody - 1) / kLargeBody * kLargeBody;
  return std::min<size_t>(room, kLimit);
}

// The string's own reserve would double anyway; a new block of just that room does not.
void RecvBuffer::Grow(size_t room) {
  std::string grown;
  grown.reserve(room);
  grown.append(text_);
  text_.swap(grown);
}

size_t RecvBuffer::Append(const char* bytes, size_t n) {
  if (!ok_ || refused_) return 0;
  if (n > kLimit || text_.size() + n > kLimit) return 0;
  if (text_.size() + n > kLargeBody && !askedLarge_) {
    askedLarge_ = true;
    refused_ = holdLarge_ && !holdLarge_();
    if (refused_) return 0;
  }
  try {
    if (text_.size() + n > text_.capacity()) Grow(Room(text_.size() + n));
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
