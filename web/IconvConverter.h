#pragma once
#include <iconv.h>

#include <cstddef>
#include <string>

// Owns one iconv converter.
class IconvConverter {
 public:
  IconvConverter(const std::string& to, const std::string& from);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of the input as fits, dropping what the source set calls invalid and
  // what the target set cannot hold. Returns false only when the output area filled up.
  bool ConvertDiscarding(const char*& in, size_t& inLeft, char*& out, size_t& outLeft);
  // Converts the whole input into out, growing it as needed (no worst-case area up front),
  // dropping what cannot be converted. False only when out cannot grow.
  bool ConvertAll(const char* in, size_t length, std::string& out);

 private:
  iconv_t cd_;
};
