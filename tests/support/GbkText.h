#pragma once
#include <string>

// The GBK form of a UTF-8 text, for pages and databases written in the older code page.
std::string GbkOf(const std::string& utf8);
