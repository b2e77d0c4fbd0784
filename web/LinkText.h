#pragma once
#include <string>

// An attribute value as Tidy hands it out (its own UTF-8) back in the page's bytes. Tidy reads
// the page as raw bytes, so each byte arrives as the character of the same number; characters
// above 255 come only from character references and are given in GBK, or, when GBK lacks them,
// as their percent-encoded UTF-8 bytes.
std::string NarrowFromTidy(const char* value);

// What a browser sends for a path: every non-ASCII character (narrow text is GBK) as its UTF-8
// bytes, spaces and control characters as their byte, each as %XX. Bytes that are no GBK text
// are encoded as they are. Everything else, "%" included, stays.
std::string PercentEncodeLink(const std::string& link);

// The link without the white space and control characters browsers strip at both ends.
std::string TrimLink(const std::string& link);
