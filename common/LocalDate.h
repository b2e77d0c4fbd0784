#pragma once
#include <string>

// Today's local date as YYYY-MM-DD; empty when the clock cannot be read.
std::string LocalIsoDate();
