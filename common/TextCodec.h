#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Narrow text is UTF-8 throughout the program: settings, patterns, addresses, page text,
// status texts and file names. Wide text is what the window's widgets hold.

// Wide text to UTF-8; code points UTF-8 cannot carry (lone surrogates, values past U+10FFFF)
// are dropped, never the whole text.
std::string WideToUtf8(const std::wstring& wide);
// UTF-8 to wide text; a text that is not valid UTF-8 gives the empty text.
std::wstring Utf8ToWide(const std::string& utf8);

// The length of the well-formed UTF-8 sequence at text[pos] (1 to 4), or 0 when none starts
// there (a stray continuation byte, an overlong form, a surrogate, a value past U+10FFFF, a
// cut sequence). codePoint receives its value when not null.
size_t Utf8SequenceAt(std::string_view text, size_t pos, char32_t* codePoint = nullptr);
// Whether all of text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// A text stored before narrow text was UTF-8 was GBK: kept as it is when it is valid UTF-8,
// otherwise read as GBK (GB18030, its superset) and given as UTF-8. Bytes that are neither
// are dropped.
std::string StoredTextToUtf8(const std::string& stored);

// The program's white space: space, tab, CR, LF, vertical tab and form feed.
bool IsAsciiWhitespace(char32_t c);
// White space removed at both ends.
std::wstring TrimWhitespace(const std::wstring& text);
std::string TrimWhitespace(const std::string& text);
std::string_view TrimWhitespaceView(std::string_view text);
