#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The receive buffer of one transfer: never holds more than 8 MiB, and always keeps a zero
// byte after the data. Its text is handed over without a copy, so a large page is held once
// and not twice at the end of its transfer; it grows by doubling from 64 KiB, so growing to
// the limit copies less than the limit in all.
class RecvBuffer {
 public:
  static constexpr uint32_t kStep = 65536;
  static constexpr uint32_t kLimit = 8388608;

  RecvBuffer();
  // Receives into storage's room (its text is dropped): a buffer kept from the last page.
  explicit RecvBuffer(std::string&& storage);
  RecvBuffer(const RecvBuffer&) = delete;
  RecvBuffer& operator=(const RecvBuffer&) = delete;

  // False when the first block could not be allocated.
  bool ok() const { return ok_; }
  const char* data() const { return text_.c_str(); }
  uint32_t length() const { return static_cast<uint32_t>(text_.size()); }
  uint32_t capacity() const { return static_cast<uint32_t>(text_.capacity()); }

  // Takes n bytes; returns n, or 0 (nothing taken) when the limit would be passed or the
  // block cannot grow.
  size_t Append(const char* bytes, size_t n);
  // Moves the received text into out (its former content is dropped); the buffer is empty after.
  void TakeText(std::string& out);

  // libcurl write callback; userdata is the RecvBuffer.
  static size_t WriteCallback(char* ptr, size_t size, size_t nmemb, void* userdata);

 private:
  std::string text_;
  bool ok_ = false;
};
