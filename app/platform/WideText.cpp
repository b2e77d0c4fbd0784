#include "app/platform/WideText.h"

#include <cstring>

#include "common/IconvConverter.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"

namespace {

const char* WideCharset() { return sizeof(wchar_t) == 4 ? "WCHAR_T" : "UTF-16LE"; }

std::string WideBytes(const std::wstring& w) {
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

std::wstring FromWideBytes(const std::string& bytes) {
  std::wstring w(bytes.size() / sizeof(wchar_t), L'\0');
  if (!w.empty()) std::memcpy(w.data(), bytes.data(), w.size() * sizeof(wchar_t));
  return w;
}

}  // namespace

std::string WideToUtf8(const std::wstring& wide) {
  std::string out;
  if (wide.empty()) return out;
  const std::string bytes = WideBytes(wide);
  IconvConverter converter("UTF-8", WideCharset(), IconvConverter::Mode::kDiscarding);
  if (!converter.ConvertAll(bytes.data(), bytes.size(), out)) return {};
  return out;
}

std::wstring Utf8ToWide(const std::string& utf8) {
  if (utf8.empty() || !IsValidUtf8(utf8)) return {};
  std::string bytes;
  IconvConverter converter(WideCharset(), "UTF-8", IconvConverter::Mode::kStrict);
  if (!converter.ConvertAll(utf8.data(), utf8.size(), bytes)) return {};
  return FromWideBytes(bytes);
}

std::wstring TrimWhitespace(const std::wstring& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsAsciiWhitespace(static_cast<char32_t>(text[b]))) ++b;
  while (e > b && IsAsciiWhitespace(static_cast<char32_t>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}
