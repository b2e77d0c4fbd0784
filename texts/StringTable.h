#pragma once
#include <string>

// The program's interface texts by number (103 to 136), in UTF-8. A missing number gives the empty text.
const std::string& LoadStringById(int id);
