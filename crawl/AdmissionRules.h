#pragma once
#include <string>

#include "common/StringICompare.h"

// False when path ends with one of the forbidden extensions (letters compared without regard
// to case). An empty text in the set forbids nothing.
bool IsAllowedExtension(const std::string& path, const StringISet& forbiddenExtensions);
