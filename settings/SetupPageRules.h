#pragma once
// The value rules of the settings pages, kept apart from the windows so they can be checked
// without a display. Out-of-range input is never reported; it is replaced.
#include <cstdint>
#include <string>

// Maximum depth: 1 to 999, anything else 5.
int32_t DepthOrDefault(int32_t depth);
// Threads per batch: 1 to 20, anything else 4 x the processors.
int32_t ThreadsOrDefault(int32_t threads);
// Auto-save interval typed in minutes -> seconds: 60 to 3600, anything else 180.
int32_t IntervalSecondsOf(int32_t minutes);
// The stored interval as the page shows it: whole minutes (integer division).
int32_t IntervalMinutesOf(int32_t seconds);
// A forbidden type as the add dialog's entry gives it: "." followed by the entry as typed.
std::string ForbiddenTypeOf(const std::string& entry);
