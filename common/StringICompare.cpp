#include "common/StringICompare.h"

#include <cctype>

namespace {
inline unsigned char Up(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Up(static_cast<unsigned char>(a[i])) != Up(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Ordered by the upper-cased bytes. A plain bytewise order for the strings that are not
// case-equal is not transitive ("B" < "a" == "A" < "B"), and a set under it keeps case
// variants that should be one entry; the upper-cased order keeps the same equality and is.
bool StringICompare::operator()(const std::string& a, const std::string& b) const {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = Up(static_cast<unsigned char>(a[i]));
    unsigned char y = Up(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Up(static_cast<unsigned char>(text[i])) != Up(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const size_t off = text.size() - suffix.size();
  for (size_t i = 0; i < suffix.size(); ++i)
    if (Up(static_cast<unsigned char>(text[off + i])) != Up(static_cast<unsigned char>(suffix[i])))
      return false;
  return true;
}

std::string ToUpperAscii(std::string text) {
  for (auto& c : text) c = static_cast<char>(Up(static_cast<unsigned char>(c)));
  return text;
}

std::string ToLowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}
