#pragma once
#include <cstdint>
#include <string>

#include "common/StringICompare.h"

// Adds the links of a fetched page: same-site paths to internal, links to other sites to
// external. 0 when the page was parsed; -80 when the parser refused it.
int32_t ExtractLinks(StringISet& external, const std::string& headers, const std::string& host,
                     const std::string& body, StringISet& internal);
