#pragma once
// The value rules of the settings pages, kept apart from the windows so they can be checked
// without a display. A page refuses a number outside its range (never cuts it to the range);
// a stored one (an older or damaged database) is replaced.
#include <cstdint>
#include <string>
#include <vector>

// A number a page takes: what the page calls it (UTF-8) and its inclusive range.
struct NumberRange {
  const char* name;
  int32_t low;
  int32_t high;
  bool Holds(int32_t value) const { return value >= low && value <= high; }
};

inline constexpr int32_t kMinDepth = 1;
inline constexpr int32_t kMaxDepth = 999;
inline constexpr int32_t kMinThreads = 1;
inline constexpr int32_t kMaxThreads = 20;
// The auto-save interval as the page takes it, in whole minutes.
inline constexpr int32_t kMinAutoSaveMinutes = 1;
inline constexpr int32_t kMaxAutoSaveMinutes = 60;
// Least time between two requests to the site, in milliseconds: at most a minute, so that no
// entry can stall a crawl for good.
inline constexpr int32_t kMinIntervalMs = 0;
inline constexpr int32_t kMaxIntervalMs = 60000;

// Pages a crawl fetches at most; 0 is no limit.
inline constexpr int32_t kMaxPagesLimit = 1000000000;

inline constexpr NumberRange kDepthRange{"最大深度", kMinDepth, kMaxDepth};
inline constexpr NumberRange kThreadsRange{"线程数", kMinThreads, kMaxThreads};
inline constexpr NumberRange kAutoSaveMinutesRange{"自动保存间隔(分钟)", kMinAutoSaveMinutes, kMaxAutoSaveMinutes};
inline constexpr NumberRange kIntervalMsRange{"请求最小间隔(毫秒)", kMinIntervalMs, kMaxIntervalMs};
inline constexpr NumberRange kMaxPagesRange{"最多爬的网页数", 0, kMaxPagesLimit};

// Maximum depth: 1 to 999, anything else 5.
int32_t DepthOrDefault(int32_t depth);
// The default thread count: 4 x the processors, but never above the range.
int32_t DefaultThreads();
// Threads per batch: 1 to 20, anything else the default.
int32_t ThreadsOrDefault(int32_t threads);
// Auto-save interval typed in minutes -> seconds: 60 to 3600, anything else 180.
int32_t IntervalSecondsOf(int32_t minutes);
// The stored interval as the page shows it: whole minutes (integer division); a stored one
// outside 60 to 3600 seconds shows as the default's 3 minutes, which the page takes.
int32_t IntervalMinutesOf(int32_t seconds);

// A forbidden type as the add dialog's entry gives it: one dot, then the entry without the
// dots typed in front of it ("php" and ".php" give ".php"), as the stored set holds its types.
std::string ForbiddenTypeOf(const std::string& entry);
// Whether the add dialog takes an entry (trimmed) as a file type: not empty, not dots alone,
// and no white space, "*", "/", "\" or "?" anywhere in it (UTF-8).
bool IsFileTypeEntry(const std::string& entry);

// The interval as stored: negative (unreadable) is 0, more than kMaxIntervalMs is
// kMaxIntervalMs.
int32_t IntervalMsOf(int32_t milliseconds);

// Longest user agent kept, in bytes.
inline constexpr size_t kMaxUserAgentBytes = 256;
// A user agent that is safe to send as one header line: control bytes (CR and LF above all,
// which would start a header of the site's choosing) removed, white space trimmed at both
// ends, and cut to kMaxUserAgentBytes without splitting a UTF-8 character.
std::string UserAgentOf(const std::string& text);

// The entries of a list setting's text: one a line, white space trimmed, empty lines dropped.
std::vector<std::string> ListEntries(const std::string& text);
// The entries one a line, as a list setting is stored.
std::string ListText(const std::vector<std::string>& entries);
// A list of query parameter names (see QueryRules::IsValidName) -> its stored text; false,
// with the problem (English), for the first name refused.
bool ReadParamNameList(const std::string& text, std::string& value, std::string& problem);
// A list of patterns of addresses never to crawl -> its stored text; false, with the problem,
// for one that holds no text but "*" or matches the root "/", where every crawl starts.
bool ReadSkipPatternList(const std::string& text, std::string& value, std::string& problem);
