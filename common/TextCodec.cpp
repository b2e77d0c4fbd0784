#include "common/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Owns one iconv descriptor.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

const char* WideCharset() { return sizeof(wchar_t) == 4 ? "WCHAR_T" : "UTF-16LE"; }

std::string WideBytes(const std::wstring& w) {
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

std::wstring FromWideBytes(const std::string& bytes) {
  std::wstring w(bytes.size() / sizeof(wchar_t), L'\0');
  if (!w.empty()) std::memcpy(w.data(), bytes.data(), w.size() * sizeof(wchar_t));
  return w;
}

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

}  // namespace

bool ConvertStrict(const std::string& input, const char* to, const char* from, std::string& out) {
  out.clear();
  if (input.empty()) return true;
  IconvHandle cd(to, from);
  if (!cd.ok()) return false;
  std::vector<char> buf(input.size() * 4 + 16);
  std::string result;
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* o = buf.data();
    size_t oLeft = buf.size();
    size_t r = iconv(cd.get(), &in, &inLeft, &o, &oLeft);
    result.append(buf.data(), buf.size() - oLeft);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  char* o = buf.data();
  size_t oLeft = buf.size();
  if (iconv(cd.get(), nullptr, nullptr, &o, &oLeft) == static_cast<size_t>(-1)) return false;
  result.append(buf.data(), buf.size() - oLeft);
  out.swap(result);
  return true;
}

std::wstring AnsiToWide(const std::string& narrow) {
  std::string bytes;
  if (!ConvertStrict(narrow, WideCharset(), kAnsiCodePage, bytes)) return {};
  return FromWideBytes(bytes);
}

std::string WideToAnsi(const std::wstring& wide) {
  std::string out;
  if (!ConvertStrict(WideBytes(wide), kAnsiCodePage, WideCharset(), out)) return {};
  return out;
}

std::string Utf8ToAnsi(const std::string& utf8) {
  std::string out;
  if (!ConvertStrict(utf8, kAnsiCodePage, "UTF-8", out)) return {};
  return out;
}

std::string AnsiToUtf8(const std::string& narrow) {
  std::string out;
  if (!ConvertStrict(narrow, "UTF-8", kAnsiCodePage, out)) return {};
  return out;
}

std::string WideToUtf8(const std::wstring& wide) {
  std::string out;
  if (!ConvertStrict(WideBytes(wide), "UTF-8", WideCharset(), out)) return {};
  return out;
}

std::wstring Utf8ToWide(const std::string& utf8) {
  std::string bytes;
  if (!ConvertStrict(utf8, WideCharset(), "UTF-8", bytes)) return {};
  return FromWideBytes(bytes);
}

std::wstring TrimWhitespace(const std::wstring& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsSpace(text[b])) ++b;
  while (e > b && IsSpace(text[e - 1])) --e;
  return text.substr(b, e - b);
}

std::string TrimWhitespace(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsSpace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && IsSpace(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}
