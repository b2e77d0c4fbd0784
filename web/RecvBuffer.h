#pragma once
#include <cstddef>
#include <cstdint>

// The receive buffer of one transfer: a heap block that grows in 64 KiB steps, never holds
// more than 8 MiB, and always keeps a zero byte after the data.
class RecvBuffer {
 public:
  static constexpr uint32_t kStep = 65536;
  static constexpr uint32_t kLimit = 8388608;

  RecvBuffer();
  ~RecvBuffer();
  RecvBuffer(const RecvBuffer&) = delete;
  RecvBuffer& operator=(const RecvBuffer&) = delete;

  // False when the first block could not be allocated.
  bool ok() const { return data_ != nullptr; }
  const char* data() const { return data_; }
  uint32_t length() const { return length_; }
  uint32_t capacity() const { return capacity_; }

  // Takes n bytes; returns n, or 0 (nothing taken) when the limit would be passed or the
  // block cannot grow.
  size_t Append(const char* bytes, size_t n);

  // libcurl write callback; userdata is the RecvBuffer.
  static size_t WriteCallback(char* ptr, size_t size, size_t nmemb, void* userdata);

 private:
  char* data_ = nullptr;
  uint32_t length_ = 0;
  uint32_t capacity_ = 0;
};
