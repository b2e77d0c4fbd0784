#pragma once
#include <chrono>
#include <ctime>
#include <optional>
#include <string>

// The longest wait a server's Retry-After is followed for; a longer one (a date years ahead)
// is cut to it, so no answer can hold a crawl for good.
inline constexpr std::chrono::seconds kMaxRetryAfter{120};

// The wait a Retry-After value asks for: whole seconds ("30") or an HTTP date, from now,
// within 0 and kMaxRetryAfter (a negative number or a date gone by is 0). Absent for a value
// that is neither, so the caller waits as it would without one.
std::optional<std::chrono::seconds> RetryAfterWait(const std::string& value, std::time_t now);
