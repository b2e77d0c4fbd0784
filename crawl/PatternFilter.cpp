#include "crawl/PatternFilter.h"

#include "common/PercentEncoding.h"

namespace {

// path must already be upper-cased.
bool MatchesUpper(const std::string& pattern, const std::string& upperPath) {
  const bool leading = pattern.front() == '*';
  const bool trailing = pattern.back() == '*';
  std::string needle;
  needle.reserve(pattern.size());
  for (char c : pattern)
    if (c != '*') needle.push_back(c);
  needle = ToUpperAscii(std::move(needle));
  if (needle.size() > upperPath.size()) return false;
  if (leading && !trailing)
    return upperPath.compare(upperPath.size() - needle.size(), needle.size(), needle) == 0;
  if (trailing && !leading) return upperPath.compare(0, needle.size(), needle) == 0;
  return upperPath.find(needle) != std::string::npos;
}

bool AnyMatches(const StringISet& patterns, const std::string& upperPath) {
  for (const auto& pattern : patterns)
    if (!pattern.empty() && MatchesUpper(pattern, upperPath)) return true;
  return false;
}

// A pattern may be written as the path is stored (%E6%96%B0) or as a person reads it (新).
class PathForms {
 public:
  explicit PathForms(const std::string& path) : upper_(ToUpperAscii(path)) {
    const std::string readable = ReadableAddress(path);
    if (readable != path) upperReadable_ = ToUpperAscii(readable);
  }
  bool AnyMatches(const StringISet& patterns) const {
    return ::AnyMatches(patterns, upper_) || (!upperReadable_.empty() && ::AnyMatches(patterns, upperReadable_));
  }

 private:
  std::string upper_;
  std::string upperReadable_;
};

}  // namespace

bool PatternFilter::IsExcluded(const std::string& path) const {
  if (path == "/") return false;
  try {
    const PathForms forms(path);
    auto anyMatches = [&](const StringISet& patterns) { return forms.AnyMatches(patterns); };
    if (anyMatches(excludePatterns)) return true;
    if (anyMatches(includePatterns)) return false;
  } catch (...) {
    // Out of memory while comparing: keep the path in the results rather than lose it.
    return false;
  }
  return !includePatterns.empty();
}

bool PatternFilter::IsSkipped(const std::string& path) const {
  if (skipPatterns.empty() || path == "/") return false;
  try {
    return PathForms(path).AnyMatches(skipPatterns);
  } catch (...) {
    return false;  // out of memory: fetched as without the rule
  }
}

bool PatternFilter::Matches(const std::string& pattern, const std::string& path) {
  return !pattern.empty() && PathForms(path).AnyMatches(StringISet{pattern});
}

void PatternFilter::Clear() {
  includePatterns.clear();
  excludePatterns.clear();
  skipPatterns.clear();
}

void PatternFilter::FillPatternSet(StringISet& set, const std::string& boxText) {
  try {
    size_t start = 0;
    while (start <= boxText.size()) {
      size_t end = boxText.find_first_of("\r\n", start);
      if (end == std::string::npos) end = boxText.size();
      if (end > start) set.insert(boxText.substr(start, end - start));
      start = end + 1;
    }
  } catch (...) {
    // Out of memory: the patterns inserted so far stay.
  }
}
