#pragma once
#include <string>
#include <string_view>

// The gzip stream zlib's file writer produces for text written in one call with the default
// level (header without name or time, deflate, CRC and length), made in memory so that a
// finished sitemap can be held compactly and written again without compressing it anew.
bool GzipInMemory(std::string_view text, std::string& gzip);
// The text of a gzip stream; false when the stream is damaged or incomplete.
bool GunzipInMemory(std::string_view gzip, std::string& text);
