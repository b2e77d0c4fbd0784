#pragma once
#include <string>

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
// With images, img and source elements stay too, with their src and srcset.
void LinkMarkupOf(const std::string& text, std::string& out, bool images = false);
