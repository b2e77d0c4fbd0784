#pragma once
#include <string>

// The standard base64 text of bytes, with padding.
std::string Base64Encode(const std::string& bytes);
