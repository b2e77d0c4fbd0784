#pragma once
#include <string>

// The program's interface texts by number (103 to 136). A missing number gives the empty text.
const std::wstring& LoadStringById(int id);
