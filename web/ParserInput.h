#pragma once
#include <cstddef>
#include <string>
#include <vector>

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

// Where a page may be cut into slices that are parsed one by one: 0, then for every further
// sliceBytes the first tag at or after that offset (never inside a tag, a comment or the text
// of a script, style or other raw-text element). Ascending; one entry for a short page.
std::vector<size_t> SliceStarts(const std::string& text, size_t sliceBytes);

// The text with what can hold no link taken out, so the parser has less to read: every run of
// character data between tags becomes one space, comments go, and the content of script,
// style and the other raw-text elements goes (their tags stay). Tags and their attributes
// are kept byte for byte, but for tab, CR and LF inside quoted href values, which go (as a
// browser drops them from an address). A tag that never ends keeps the rest of the text as it is.
std::string WithoutCharacterData(const std::string& text);

// The same reading, which also takes out every tag but those that can carry a link or change
// how links are read (a, area, base, meta; noscript, svg, math and select, inside which the
// parser sets anchors aside) and the html, head and body that place them.
// Each run of what goes between two kept tags becomes one character: "x" when it held text or
// a tag that starts the body, else a space. Of their attributes only those the crawl reads stay
// (href and rel; a meta's name, content, charset and http-equiv; all of html's). Declarations
// stay. Written into out (its storage
// is reused); the parser then reads a few hundred bytes of a page instead of all its markup.
void LinkMarkupOf(const std::string& text, std::string& out);
