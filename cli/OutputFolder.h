#pragma once
#include <string>

// Makes sure the folder for the result files exists and accepts new files, before any
// page is fetched. Creates it (and the folders above it) when missing. On failure returns
// false with the problem in words.
bool PrepareOutputFolder(const std::string& dir, std::string& problem);
