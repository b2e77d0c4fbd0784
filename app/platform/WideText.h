#pragma once
#include <string>

// The window's edge: the engine's texts are UTF-8, the widgets' texts wide.

// Wide text to UTF-8; code points UTF-8 cannot carry (lone surrogates, values past U+10FFFF)
// are dropped, never the whole text.
std::string WideToUtf8(const std::wstring& wide);
// UTF-8 to wide text; a text that is not valid UTF-8 gives the empty text.
std::wstring Utf8ToWide(const std::string& utf8);
// White space (as IsAsciiWhitespace) removed at both ends.
std::wstring TrimWhitespace(const std::wstring& text);
