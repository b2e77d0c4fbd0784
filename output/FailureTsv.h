#pragma once
#include <string>

// One line of the failure file: path TAB code TAB description LF, in UTF-8; the description
// is the one the failure page shows. A tab or line break inside the path or the code is
// written percent-encoded so that every failure stays one line of three fields, and a path
// that is not valid UTF-8 keeps its bytes percent-encoded instead of being lost.
std::string FailureTsvLine(const std::string& path, const std::string& code);
