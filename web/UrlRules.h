#pragma once
#include <string>

// The host of an address as libcurl's URL parser reads it: a name (with or without a dot),
// an IPv4 address, or a bracketed IPv6 address ("[::1]"). An address without a scheme is read
// as http; https counts like http. Empty when the text holds no http(s) address. The crawl
// page refuses a start address without a host.
std::string HostOf(const std::string& address);
