#pragma once
#include <string>

#include "crawl/ContentChange.h"

// "new", "changed" or "gone" (empty for the others).
const char* ContentChangeWord(ContentChange kind);
// One line of the changes file: kind TAB address TAB lastmod LF, in UTF-8, each field kept to
// one line as the failure file keeps its own.
std::string ChangesTsvLine(ContentChange kind, const std::string& address, const std::string& lastmod);
