#pragma once
// The small readers of HTML tags that the parser's input is made with: they run for every tag
// of every page, so they are inline. Internal to web/.
#include <cstddef>
#include <cstring>
#include <string>

#include "common/TextCodec.h"

namespace markup {

inline bool IsBlank(char c) { return IsAsciiWhitespace(static_cast<unsigned char>(c)); }
inline bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsAlnum(char c) { return IsAlpha(c) || (c >= '0' && c <= '9'); }
inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Whether name is the literal; a constant length lets the compiler compare in place rather
// than call memcmp: this runs for every tag of every page.
template <size_t N>
inline bool Is(const std::string& name, const char (&literal)[N]) {
  return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

template <size_t... N>
inline bool IsOneOf(const std::string& name, const char (&... literals)[N]) {
  return (Is(name, literals) || ...);
}

inline bool IsVoidElement(const std::string& name) {
  return IsOneOf(name, "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source",
                 "track", "wbr", "keygen", "basefont", "frame", "isindex");
}

// Elements whose content is text up to their own end tag.
inline bool IsRawTextElement(const std::string& name) { return IsOneOf(name, "script", "style", "textarea", "title", "xmp"); }

// Whether a comment begins at text[i].
inline bool IsCommentStart(const std::string& text, size_t i) {
  return i + 3 < text.size() && text[i] == '<' && text[i + 1] == '!' && text[i + 2] == '-' && text[i + 3] == '-';
}

// Just after the ">" ending the tag whose name ends at p; npos when the tag never ends. As in
// a browser, a quote opens a value only after "=": a stray one (id="a"") is part of a name and
// does not hide the ">".
inline size_t TagEnd(const std::string& text, size_t p) {
  char quote = 0;
  char last = 0;  // the last character outside values and white space
  for (; p < text.size(); ++p) {
    const char c = text[p];
    if (quote) {
      if (c == quote) quote = 0, last = c;
    } else if ((c == '"' || c == '\'') && last == '=') {
      quote = c;
    } else if (c == '>') {
      return p + 1;
    } else if (!IsBlank(c)) {
      last = c;
    }
  }
  return std::string::npos;
}

// Whether the quote at text[quote] opens the value of an href attribute ("href = '...").
inline bool OpensHrefValue(const std::string& text, size_t tagStart, size_t quote) {
  size_t p = quote;
  while (p > tagStart && IsBlank(text[p - 1])) --p;
  if (p == tagStart || text[p - 1] != '=') return false;
  --p;
  while (p > tagStart && IsBlank(text[p - 1])) --p;
  if (p < tagStart + 4) return false;
  for (size_t k = 0; k < 4; ++k)
    if (Lower(text[p - 4 + k]) != "href"[k]) return false;
  return !IsAlnum(text[p - 5]) && text[p - 5] != '-' && text[p - 5] != ':';
}

// Appends the tag text[begin, end) with tab, CR and LF taken out of its href values, as a
// browser's URL parser does first: the markup parser would turn them into spaces (and the
// link into one with %20 in it).
inline void AppendTag(std::string& out, const std::string& text, size_t begin, size_t end) {
  size_t first = begin;
  while (first < end && text[first] != '\t' && text[first] != '\n' && text[first] != '\r') ++first;
  out.append(text, begin, first - begin);  // most tags have none of them
  char quote = 0;
  bool href = false;
  char last = 0;
  for (size_t p = begin; p < end && first < end; ++p) {
    const char c = text[p];
    if (quote) {
      if (c == quote) quote = 0, last = c;
      else if (href && (c == '\t' || c == '\n' || c == '\r')) continue;
    } else if ((c == '"' || c == '\'') && last == '=') {
      quote = c;
      href = OpensHrefValue(text, begin, p);
    } else if (!IsBlank(c)) {
      last = c;
    }
    if (p >= first) out += c;
  }
}

// Just after the end tag "</name...>" at or after from; npos when there is none.
inline size_t RawTextEnd(const std::string& text, size_t from, const std::string& name) {
  for (size_t i = text.find("</", from); i != std::string::npos; i = text.find("</", i + 2)) {
    size_t k = 0;
    while (k < name.size() && i + 2 + k < text.size() && Lower(text[i + 2 + k]) == name[k]) ++k;
    if (k == name.size()) {
      const size_t end = text.find('>', i + 2 + k);
      return end == std::string::npos ? end : end + 1;
    }
  }
  return std::string::npos;
}

}  // namespace markup
