#pragma once
#include <string>

// Description column of the failure page: the status table's text for the code, "网络错误"
// for a code the table does not hold (client errors such as "-70"), empty for an empty code.
std::wstring FailureDescription(const std::string& code);
