#pragma once
#include <string>

// The host of an address (scheme, port and path removed; https is treated like http); path
// receives everything after the host up to the first white space, and is written only when a
// host was found. Empty host when none can be found (for example a name without a dot).
// The crawl page refuses a start address without such a host.
std::string SplitUrl(const std::string& address, std::string& path);
// SplitUrl without the path.
std::string HostOf(const std::string& address);
// Whether two addresses have the same host, ignoring letter case and a leading "www.".
bool IsSameSite(const std::string& a, const std::string& b);
