#include "web/PageTitle.h"

#include <charconv>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text at pos starts with the lower-case tag (a "<" and name) followed by a character
// that ends a tag name.
bool StartsTag(std::string_view text, size_t pos, std::string_view tag) {
  if (pos + tag.size() > text.size()) return false;
  for (size_t i = 0; i < tag.size(); ++i)
    if (Lower(text[pos + i]) != tag[i]) return false;
  if (pos + tag.size() == text.size()) return false;
  const char next = text[pos + tag.size()];
  return next == '>' || next == ' ' || next == '\t' || next == '\n' || next == '\r' || next == '/' || next == '\f';
}

size_t FindTag(std::string_view text, size_t from, std::string_view tag) {
  for (size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (text.compare(at, 4, "<!--") == 0) {
      const size_t end = text.find("-->", at + 4);
      if (end == std::string_view::npos) return std::string_view::npos;
      at = end + 2;
      continue;
    }
    if (StartsTag(text, at, tag)) return at;
    if (tag == "<title" && StartsTag(text, at, "<body")) return std::string_view::npos;
  }
  return std::string_view::npos;
}

// A character reference at text[pos] ("&"): appended decoded, returning the length read; 0
// when none is recognised (the "&" stays as it is).
size_t DecodeReference(std::string_view text, size_t pos, std::string& out) {
  static const std::pair<std::string_view, std::string_view> kNamed[] = {
      {"amp;", "&"}, {"lt;", "<"}, {"gt;", ">"}, {"quot;", "\""}, {"apos;", "'"}, {"nbsp;", " "},
      {"mdash;", "\xE2\x80\x94"}, {"ndash;", "\xE2\x80\x93"}, {"middot;", "\xC2\xB7"}, {"raquo;", "\xC2\xBB"},
      {"laquo;", "\xC2\xAB"}, {"copy;", "\xC2\xA9"}, {"reg;", "\xC2\xAE"}, {"hellip;", "\xE2\x80\xA6"}};
  const std::string_view rest = text.substr(pos + 1);
  if (!rest.empty() && rest[0] == '#') {
    const bool hex = rest.size() > 1 && (rest[1] == 'x' || rest[1] == 'X');
    const size_t digitsAt = hex ? 2 : 1;
    const size_t semi = rest.find(';', digitsAt);
    if (semi == std::string_view::npos || semi == digitsAt || semi > digitsAt + 8) return 0;
    const std::string_view digits = rest.substr(digitsAt, semi - digitsAt);
    uint64_t cp = 0;
    if (hex) {
      const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, 16);
      if (ec != std::errc() || end != digits.data() + digits.size()) return 0;
    } else {
      const std::optional<uint64_t> value = ParseDecimal(digits, 0x10FFFF);
      if (!value) return 0;
      cp = *value;
    }
    AppendUtf8(out, cp);
    return 1 + semi + 1;
  }
  for (const auto& [name, value] : kNamed) {
    if (rest.substr(0, name.size()) == name) {
      out += value;
      return 1 + name.size();
    }
  }
  return 0;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Cut to at most max bytes without splitting a UTF-8 sequence.
void CutAt(std::string& text, size_t max) {
  if (text.size() <= max) return;
  size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

}  // namespace

std::string PageTitleOf(std::string_view utf8) {
  const size_t open = FindTag(utf8, 0, "<title");
  if (open == std::string_view::npos) return {};
  const size_t begin = utf8.find('>', open);
  if (begin == std::string_view::npos) return {};
  // The title's text runs to its end tag (it holds no elements); one never closed has none.
  size_t end = begin + 1;
  for (;; ++end) {
    end = utf8.find('<', end);
    if (end == std::string_view::npos) return {};
    if (end + 1 < utf8.size() && utf8[end + 1] == '/' && StartsTag(utf8, end + 1, "/title")) break;
  }
  std::string title;
  bool space = false;
  for (size_t i = begin + 1; i < end && title.size() < kMaxTitleBytes + 4; ++i) {
    const char c = utf8[i];
    if (IsSpace(c)) {
      space = !title.empty();
      continue;
    }
    if (space) title += ' ';
    space = false;
    if (c == '&') {
      const size_t used = DecodeReference(utf8, i, title);
      if (used > 0) {
        i += used - 1;
        continue;
      }
    }
    if (static_cast<unsigned char>(c) < 0x20) continue;
    title += c;
  }
  CutAt(title, kMaxTitleBytes);
  while (!title.empty() && title.back() == ' ') title.pop_back();
  return title;
}
