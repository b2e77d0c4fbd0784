#pragma once
#include <string>
#include <string_view>

// The text of a page's <title>, read straight from its UTF-8 markup (the link parser leaves
// character data out): the first title element before the body, outside comments, with
// character references decoded and white space runs made one space. Empty when there is none.
// At most kMaxTitleBytes are kept, cut at a character's boundary.
std::string PageTitleOf(std::string_view utf8);

inline constexpr size_t kMaxTitleBytes = 512;
