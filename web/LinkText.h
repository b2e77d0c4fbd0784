#pragma once
#include <string>

// An href as browsers read it: white space and control characters stripped at both ends, tabs
// and line breaks inside removed.
std::string CleanHref(const std::string& href);

// What a browser sends: spaces, control characters, DEL and every byte from 0x80 up (UTF-8
// text) as %XX with upper-case digits. Everything else, "%" included, stays as written.
std::string PercentEncodeLink(const std::string& link);
