#pragma once
#include <cstddef>
#include <string>

// Browsers leave "&name=" in an attribute alone (it is a query parameter, not a character
// reference); Tidy would turn "&reg=2" into "®=2". Writes the text with the "&" of every such
// place spelled "&amp;" into out and returns true, or returns false when there is none.
bool EscapeBareReferenceNames(const std::string& text, std::string& out);

// An upper bound for how deeply the elements of the text nest: start tags open a level, end
// tags close only levels opened by that name, void elements open none; comments and the
// content of script, style and other raw-text elements are skipped.
size_t EstimateNestingDepth(const std::string& text);

// The text with the start and end tags of elements nested deeper than maxDepth taken out, so
// their content joins the deepest kept element (as browsers cap their trees). Anchors and
// raw-text elements are always kept; links keep their document order.
std::string FlattenNesting(const std::string& text, size_t maxDepth);
