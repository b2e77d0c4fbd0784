#include "settings/SetupPageRules.h"

#include <algorithm>

#include "common/SystemInfo.h"
#include "common/TextCodec.h"
#include "crawl/PatternFilter.h"
#include "crawl/QueryRules.h"

namespace {
constexpr int32_t kDefaultDepth = 5;
constexpr int32_t kDefaultIntervalSeconds = 180;

// The Unicode white space characters, and the control characters, none of which a file
// name's type can hold in a form a user could type again.
bool IsSpaceOrControl(char32_t c) {
  return c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

int32_t DepthOrDefault(int32_t depth) { return depth >= kMinDepth && depth <= kMaxDepth ? depth : kDefaultDepth; }

// On a machine with more than five processors 4 x the processors would lie outside the range
// that the run page takes, and OK would refuse the page's own default.
int32_t DefaultThreads() { return std::clamp(4 * ProcessorCount(), kMinThreads, kMaxThreads); }

int32_t ThreadsOrDefault(int32_t threads) {
  return threads >= kMinThreads && threads <= kMaxThreads ? threads : DefaultThreads();
}

int32_t IntervalSecondsOf(int32_t minutes) {
  // In 64 bits: a 32-bit product would wrap, and a huge entry such as 1073741825 minutes
  // would come out as 60 seconds.
  int64_t seconds = static_cast<int64_t>(minutes) * 60;
  return seconds >= kMinAutoSaveMinutes * 60 && seconds <= kMaxAutoSaveMinutes * 60 ? static_cast<int32_t>(seconds)
                                                                                    : kDefaultIntervalSeconds;
}

int32_t IntervalMinutesOf(int32_t seconds) {
  // Shown as 0 (or 61 and more), it would make OK refuse a page the user never touched.
  const bool stored = seconds >= kMinAutoSaveMinutes * 60 && seconds <= kMaxAutoSaveMinutes * 60;
  return (stored ? seconds : kDefaultIntervalSeconds) / 60;
}

std::string ForbiddenTypeOf(const std::string& entry) {
  const size_t first = entry.find_first_not_of('.');
  return "." + (first == std::string::npos ? std::string() : entry.substr(first));
}

bool IsFileTypeEntry(const std::string& entry) {
  if (entry.find_first_not_of('.') == std::string::npos) return false;  // empty or dots alone
  for (size_t at = 0; at < entry.size();) {
    char32_t c = 0;
    const size_t length = Utf8SequenceAt(entry, at, &c);
    if (length == 0) return false;  // not text a user typed
    if (IsSpaceOrControl(c) || c == U'*' || c == U'/' || c == U'\\' || c == U'?') return false;
    at += length;
  }
  return true;
}

int32_t IntervalMsOf(int32_t milliseconds) {
  if (milliseconds < 0) return 0;
  return milliseconds > kMaxIntervalMs ? kMaxIntervalMs : milliseconds;
}

std::string UserAgentOf(const std::string& text) {
  std::string kept;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) kept += c;
  }
  kept = TrimWhitespace(kept);
  // A byte that begins no well-formed sequence counts as one character of its own.
  size_t end = 0;
  for (size_t i = 0; i < kept.size();) {
    const size_t width = std::max<size_t>(Utf8SequenceAt(kept, i), 1);
    if (i + width > kMaxUserAgentBytes) break;
    i += width;
    end = i;
  }
  kept.resize(end);
  return TrimWhitespace(kept);
}

std::vector<std::string> ListEntries(const std::string& text) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    size_t b = start, e = end;
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (e > b) entries.push_back(text.substr(b, e - b));
    start = end + 1;
  }
  return entries;
}

std::string ListText(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& entry : entries) {
    if (!text.empty()) text.push_back('\n');
    text += entry;
  }
  return text;
}

bool ReadParamNameList(const std::string& text, std::string& value, std::string& problem) {
  const std::vector<std::string> names = ListEntries(text);
  for (const std::string& name : names)
    if (!QueryRules::IsValidName(name, problem)) return false;
  value = ListText(names);
  return true;
}

bool ReadSkipPatternList(const std::string& text, std::string& value, std::string& problem) {
  const std::vector<std::string> patterns = ListEntries(text);
  for (const std::string& pattern : patterns) {
    for (char c : pattern) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
        problem = "pattern holds a control character";
        return false;
      }
    }
    if (pattern.find_first_not_of('*') == std::string::npos || PatternFilter::Matches(pattern, "/")) {
      problem = "pattern '" + pattern + "' would match the start page '/'";
      return false;
    }
  }
  value = ListText(patterns);
  return true;
}
