#pragma once
#include <string>

// The system's ANSI code page: narrow texts (settings, addresses, converted page text) are GBK.
inline constexpr const char* kAnsiCodePage = "GBK";

// ANSI (GBK) narrow text to wide text; a failed conversion gives the empty text.
std::wstring AnsiToWide(const std::string& narrow);
// Wide text to ANSI (GBK) narrow text; a failed conversion gives the empty text.
std::string WideToAnsi(const std::wstring& wide);
// UTF-8 to ANSI and back (file names, UTF-8 outputs); a failed conversion gives the empty text.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& narrow);
// Wide text to UTF-8 and back; a failed conversion gives the empty text.
std::string WideToUtf8(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);

// Strict conversion between two iconv character sets; false when any byte cannot be converted.
bool ConvertStrict(const std::string& input, const char* to, const char* from, std::string& out);

// White space removed at both ends (space, tab, CR, LF, vertical tab, form feed).
std::wstring TrimWhitespace(const std::wstring& text);
std::string TrimWhitespace(const std::string& text);
