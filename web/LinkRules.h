#pragma once
#include <string>

#include "common/StringICompare.h"

// Files one anchor link of a page of the site: links to other sites go unchanged into external,
// script and mail links are dropped, the rest go into internal as paths ready to request.
void ClassifyLink(const std::string& link, const std::string& host, StringISet& external,
                  StringISet& internal);
