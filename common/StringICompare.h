#pragma once
#include <set>
#include <string>
#include <string_view>

// Ordering of narrow-string sets: strings equal after ASCII upper-casing are one entry;
// the others are ordered by their upper-cased bytes.
struct StringICompare {
  bool operator()(const std::string& a, const std::string& b) const;
};

using StringISet = std::set<std::string, StringICompare>;

// True when a and b are equal with ASCII letters folded.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// True when text begins with prefix, ASCII letters folded; the whole prefix must be present.
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
// True when text ends with suffix, ASCII letters folded.
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);
// The text with every ASCII letter upper-cased.
std::string ToUpperAscii(std::string text);
// The text with every ASCII letter lower-cased.
std::string ToLowerAscii(std::string text);
