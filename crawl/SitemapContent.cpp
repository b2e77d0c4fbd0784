#include "crawl/SitemapContent.h"

#include <array>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"

namespace {

constexpr std::array<const char*, 7> kChangefreqWords = {"always", "hourly", "daily", "weekly",
                                                         "monthly", "yearly", "never"};
constexpr const char* kNone = "none";

bool IsNone(const std::string& text) { return text.empty() || text == kNone; }

}  // namespace

bool ParseChangefreq(const std::string& text, std::string& word, std::string& message) {
  const std::string typed = TrimWhitespace(text);
  if (IsNone(typed)) {
    word.clear();
    return true;
  }
  for (const char* known : kChangefreqWords) {
    if (typed == known) {
      word = typed;
      return true;
    }
  }
  message = "change frequency \"" + typed + "\" is none of always, hourly, daily, weekly, monthly, yearly, never, none";
  return false;
}

bool ParsePriorities(const std::string& text, std::vector<std::string>& values, std::string& message) {
  const std::string typed = TrimWhitespace(text);
  std::vector<std::string> read;
  if (IsNone(typed)) {
    values.clear();
    return true;
  }
  size_t start = 0;
  while (true) {
    const size_t comma = typed.find(',', start);
    const std::string one = TrimWhitespace(typed.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    // Read with room above 1.0, so that 1.5 is refused rather than capped.
    const std::optional<double> value = ParseDecimalFraction(one, 2.0);
    if (!value || *value > 1.0) {
      message = "priority \"" + one + "\" is no number from 0.0 to 1.0";
      return false;
    }
    read.push_back(one);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  values = std::move(read);
  return true;
}

namespace {

constexpr std::array<const char*, 4> kLastmodWords = {"start", "header", "content", "none"};

}  // namespace

bool ParseLastmodSource(const std::string& text, LastmodSource& source, std::string& message) {
  const std::string typed = TrimWhitespace(text);
  for (size_t i = 0; i < kLastmodWords.size(); ++i) {
    if (typed == kLastmodWords[i]) {
      source = static_cast<LastmodSource>(i);
      return true;
    }
  }
  message = "lastmod source \"" + typed + "\" is none of start, header, content, none";
  return false;
}

std::string LastmodSourceText(LastmodSource source) {
  const auto at = static_cast<size_t>(source);
  return at < kLastmodWords.size() ? kLastmodWords[at] : kLastmodWords[0];
}

std::string ChangefreqText(const std::string& word) { return word.empty() ? kNone : word; }

std::string PrioritiesText(const std::vector<std::string>& values) {
  if (values.empty()) return kNone;
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : ",") + value;
  return text;
}

std::string PriorityAtDepth(const std::vector<std::string>& priorities, int32_t depth) {
  if (priorities.empty()) return {};
  const size_t at = depth < 0 ? 0 : static_cast<size_t>(depth);
  return priorities[at < priorities.size() ? at : priorities.size() - 1];
}
