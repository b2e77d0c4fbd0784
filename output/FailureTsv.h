#pragma once
#include <string>

// One line of the failure file: path TAB code TAB description TAB found-on LF, in UTF-8; the
// description is the one the failure page shows, found-on the full address of the page whose
// link led to the path (empty for a start address). A tab or line break inside the path or the code is
// written percent-encoded so that every failure stays one line of four fields, and a path
// that is not valid UTF-8 keeps its bytes percent-encoded instead of being lost.
// A failing redirect's description also names where it pointed (redirectTo).
std::string FailureTsvLine(const std::string& path, const std::string& code, const std::string& foundOn = "",
                           const std::string& redirectTo = "");

// Text as one UTF-8 field of a tab-separated line: control characters percent-encoded, and
// the bytes from 0x80 on too when the text is no valid UTF-8.
std::string TsvField(const std::string& source);
