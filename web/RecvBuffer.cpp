#include "web/RecvBuffer.h"

#include <cstdlib>
#include <cstring>

RecvBuffer::RecvBuffer() {
  data_ = static_cast<char*>(std::malloc(kStep));
  if (data_) {
    capacity_ = kStep;
    data_[0] = '\0';
  }
}

RecvBuffer::~RecvBuffer() { std::free(data_); }

size_t RecvBuffer::Append(const char* bytes, size_t n) {
  if (!data_) return 0;
  if (n > kLimit || length_ + n > kLimit) return 0;
  // Grow until the chunk and its closing zero fit; libcurl's chunks are at most 16 KiB, so
  // one step normally suffices, but a larger chunk must not overrun the block.
  while (length_ + n >= capacity_) {
    char* grown = static_cast<char*>(std::realloc(data_, capacity_ + kStep));
    if (!grown) return 0;
    data_ = grown;
    capacity_ += kStep;
  }
  if (n > 0) std::memcpy(data_ + length_, bytes, n);
  length_ += static_cast<uint32_t>(n);
  data_[length_] = '\0';
  return n;
}

size_t RecvBuffer::WriteCallback(char* ptr, size_t size, size_t nmemb, void* userdata) {
  if (!userdata) return 0;
  if (size != 0 && nmemb > SIZE_MAX / size) return 0;
  return static_cast<RecvBuffer*>(userdata)->Append(ptr, size * nmemb);
}
