#pragma once
#include <map>
#include <string>

// Three-digit status code text to its description, in UTF-8. Built once at start-up.
const std::map<std::string, std::string>& StatusTextTable();
// The description of a code; nullptr when the table has none.
const std::string* StatusText(const std::string& code);
