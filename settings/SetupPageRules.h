#pragma once
// The value rules of the settings pages, kept apart from the windows so they can be checked
// without a display. The run page refuses a depth or thread count outside its range; a stored
// one (an older or damaged database) is replaced.
#include <cstdint>
#include <string>

inline constexpr int32_t kMinDepth = 1;
inline constexpr int32_t kMaxDepth = 999;
inline constexpr int32_t kMinThreads = 1;
inline constexpr int32_t kMaxThreads = 20;

// Maximum depth: 1 to 999, anything else 5.
int32_t DepthOrDefault(int32_t depth);
// The default thread count: 4 x the processors, but never above the range.
int32_t DefaultThreads();
// Threads per batch: 1 to 20, anything else the default.
int32_t ThreadsOrDefault(int32_t threads);
// Auto-save interval typed in minutes -> seconds: 60 to 3600, anything else 180.
int32_t IntervalSecondsOf(int32_t minutes);
// The stored interval as the page shows it: whole minutes (integer division).
int32_t IntervalMinutesOf(int32_t seconds);
// A forbidden type as the add dialog's entry gives it: "." followed by the entry as typed.
std::string ForbiddenTypeOf(const std::string& entry);

// Least time between two requests to the site, in milliseconds: at most a minute, so that no
// entry can stall a crawl for good.
inline constexpr int32_t kMaxIntervalMs = 60000;
// The interval as entered or stored: negative (an empty or unreadable entry) is 0, more than
// kMaxIntervalMs is kMaxIntervalMs.
int32_t IntervalMsOf(int32_t milliseconds);

// Longest user agent kept, in bytes.
inline constexpr size_t kMaxUserAgentBytes = 256;
// A user agent that is safe to send as one header line: control bytes (CR and LF above all,
// which would start a header of the site's choosing) removed, white space trimmed at both
// ends, and cut to kMaxUserAgentBytes without splitting a UTF-8 character.
std::string UserAgentOf(const std::string& text);
