#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The receive buffer of one transfer: never holds more than 8 MiB, and always keeps a zero
// byte after the data. Its text is handed over without a copy, so a large page is held once
// and not twice at the end of its transfer. It grows by doubling from 64 KiB up to 1 MiB and
// then a MiB at a time, so its room never passes what it holds by more than a MiB, and growing
// holds the old and the new block together only once they are about the page's size.
class RecvBuffer {
 public:
  static constexpr uint32_t kStep = 65536;
  static constexpr uint32_t kLargeBody = 1048576;
  static constexpr uint32_t kLimit = 8388608;

  RecvBuffer();
  // Receives into storage's room (its text is dropped): a buffer kept from the last page.
  // holdLarge, when set, is asked once before the text grows past kLargeBody; false refuses
  // the rest of the transfer.
  explicit RecvBuffer(std::string&& storage, std::function<bool()> holdLarge = {});
  RecvBuffer(const RecvBuffer&) = delete;
  RecvBuffer& operator=(const RecvBuffer&) = delete;

  // False when the first block could not be allocated.
  bool ok() const { return ok_; }
  // True once holdLarge refused the text past kLargeBody.
  bool refused() const { return refused_; }
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
  size_t Room(size_t needed) const;
  void Grow(size_t room);

  std::string text_;
  std::function<bool()> holdLarge_;
  bool ok_ = false;
  bool askedLarge_ = false;
  bool refused_ = false;
};
