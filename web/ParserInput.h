#pragma once
#include <cstddef>
#include <string>

// Browsers leave "&name=" in an attribute alone (it is a query parameter, not a character
// reference); Tidy would turn "&reg=2" into "®=2". Writes the text with the "&" of every such
// place spelled "&amp;" into out and returns true, or returns false when there is none.
bool EscapeBareReferenceNames(const std::string& text, std::string& out);

// An upper bound for how deeply the elements of the text nest: start tags open a level,
// end tags close only levels opened by that name, void elements open none.
size_t EstimateNestingDepth(const std::string& text);
