#pragma once
#include <cstdint>
#include <string>

// Converts input from one character set to another, dropping what cannot be converted.
// -70 empty input, -220 no memory, -80 output area full (out unchanged); otherwise the unused
// bytes of the 6-bytes-per-input-byte output area, and out holds the result up to its first
// zero byte (empty when the converter could not be opened).
int32_t ConvertText(const std::string& input, const std::string& to, const std::string& from,
                    std::string& out);

// The text to hand to the HTML parser: the body converted from UTF-8 to GBK when the header
// block declares exactly that character set, else the body as received.
std::string PreparePageText(const std::string& headers, const std::string& body);
