#pragma once
#include <string>

#include "common/StringICompare.h"

// The include and exclude patterns of a crawl. A pattern starting with "*" and not ending with
// one matches paths that end with its needle; one ending with "*" and not starting with one
// matches paths that begin with it; any other pattern matches paths that contain it. The needle
// is the pattern with every "*" removed. Letters compare without regard to case. A pattern
// matches when it matches the path as stored (percent-encoded) or as ReadableAddress shows it,
// so "*新闻*" and "*%E6%96%B0*" both match "/%E6%96%B0%E9%97%BB/a.html". Patterns are UTF-8.
class PatternFilter {
 public:
  StringISet includePatterns;
  StringISet excludePatterns;
  // Addresses never fetched, followed or listed; the same wildcards.
  StringISet skipPatterns;

  // True when path is to be left out of the results: an exclude pattern matches, or include
  // patterns exist and none matches. The root "/" is never left out.
  bool IsExcluded(const std::string& path) const;
  // True when a skip pattern matches path. The root "/" is never skipped.
  bool IsSkipped(const std::string& path) const;
  void Clear();
  // Whether one pattern matches path, as stored or as a person reads it.
  static bool Matches(const std::string& pattern, const std::string& path);

  // Splits box text at every CR and LF, drops empty pieces and inserts the rest unchanged.
  static void FillPatternSet(StringISet& set, const std::string& boxText);
};
