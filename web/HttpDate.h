#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// HTTP dates (a Last-Modified value) in any of the three forms HTTP allows:
//   IMF-fixdate  "Sun, 06 Nov 1994 08:49:37 GMT"
//   RFC 850      "Sunday, 06-Nov-94 08:49:37 GMT"   (a two-digit year is the latest year
//                                                    with those digits not after this one)
//   asctime      "Sun Nov  6 08:49:37 1994"
// Names are read without regard to letter case and white space at both ends is ignored; the
// weekday must be a weekday name but is not checked against the date. The zone must be GMT
// (or UTC): a date in another zone would be read wrong, so it is refused.

// Seconds since 1970-01-01 00:00 UTC; absent for text in none of the forms, a date that does
// not exist (31 April, hour 24), a year before 1970, or a date more than a day after now
// (a server clock or header that cannot be trusted). A leap second reads as second 59.
std::optional<std::time_t> ParseHttpDate(std::string_view value, std::time_t now);

// The same date in the W3C Datetime form of sitemaps, "1994-11-06T08:49:37+00:00"; absent
// whenever ParseHttpDate is, so the caller keeps its own date.
std::optional<std::string> W3cDateOfHttpDate(std::string_view value, std::time_t now = std::time(nullptr));
