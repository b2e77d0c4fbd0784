#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 throughout the engine: settings, patterns, addresses, page text, status
// texts and file names.

// The length of the well-formed UTF-8 sequence at text[pos] (1 to 4), or 0 when none starts
// there (a stray continuation byte, an overlong form, a surrogate, a value past U+10FFFF, a
// cut sequence). codePoint receives its value when not null.
size_t Utf8SequenceAt(std::string_view text, size_t pos, char32_t* codePoint = nullptr);
// Whether all of text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);
// Appends the UTF-8 form of codePoint; a surrogate, NUL or a value past U+10FFFF is U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);
// text as it is when it is valid UTF-8; otherwise its bytes from 0x80 up as %XX, so a name
// that is not UTF-8 can still be shown without losing what it is.
std::string Utf8OrEscaped(const std::string& text);

// A text stored before narrow text was UTF-8 was GBK: kept as it is when it is valid UTF-8,
// otherwise read as GBK (GB18030, its superset) and given as UTF-8. Bytes that are neither
// are dropped.
std::string StoredTextToUtf8(const std::string& stored);

// The program's white space: space, tab, CR, LF, vertical tab and form feed.
// Inline: the markup readers ask it of nearly every byte of every page.
inline bool IsAsciiWhitespace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\v' || c == U'\f';
}
// White space removed at both ends.
std::string TrimWhitespace(const std::string& text);
std::string_view TrimWhitespaceView(std::string_view text);
