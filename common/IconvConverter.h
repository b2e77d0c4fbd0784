#pragma once
#include <iconv.h>

#include <cstddef>
#include <string>

// The program's one character-set converter: owns one iconv descriptor.
class IconvConverter {
 public:
  // What a conversion does with bytes the source set calls invalid and characters the target
  // set cannot hold.
  enum class Mode { kStrict, kDiscarding };

  IconvConverter(const std::string& to, const std::string& from, Mode mode = Mode::kDiscarding);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of the input as fits, dropping what the source set calls invalid and
  // what the target set cannot hold. Returns false only when the output area filled up.
  bool ConvertDiscarding(const char*& in, size_t& inLeft, char*& out, size_t& outLeft);
  // Converts the whole input into out, growing it as needed (no worst-case area up front).
  // Discarding: drops what cannot be converted, false only when out cannot grow. Strict:
  // false (out empty) when any byte cannot be converted.
  bool ConvertAll(const char* in, size_t length, std::string& out);

 private:
  // One iconv call over the rest of the input; false on a byte it cannot convert.
  bool ConvertStrict(const char*& in, size_t& inLeft, char*& out, size_t& outLeft, bool& full);

  iconv_t cd_;
  Mode mode_;
};
