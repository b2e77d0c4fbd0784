#pragma once
#include <cstdint>
#include <string>

#include "web/WebAddress.h"

// One response as the client handed it over: 0 or the transfer's failure code, the header
// block and the body.
struct FetchedPage {
  int32_t result = 0;
  std::string headers;
  std::string body;
};

// The status code text of a header block; empty for none.
std::string StatusOf(const std::string& headers);
// Where a redirect answer points, resolved against the address it answered; false for any
// other answer, or a Location that is no http(s) address.
bool RedirectTarget(const std::string& headers, const std::string& address, WebAddress& target);
