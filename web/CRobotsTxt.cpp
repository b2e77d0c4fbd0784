#include "web/CRobotsTxt.h"

#include <algorithm>

#include "common/DecimalNumber.h"
#include "common/StringICompare.h"
#include "common/TextCodec.h"
#include "common/PercentEncoding.h"

namespace {

// Lines are already split at CR and LF, so only the other white space can be left.
std::string_view Trim(std::string_view text) { return TrimWhitespaceView(text); }




// Text up to the first "/" or white space: the product token of a user-agent value.
std::string_view TokenOf(std::string_view text) {
  size_t end = text.find_first_of(" \t\v\f/");
  return end == std::string_view::npos ? text : text.substr(0, end);
}

// "12", "0.5", "3." : a non-negative decimal without exponent or sign.
// Any wait past a year is as good as none at all; the policy caps it far lower anyway.
std::optional<double> ReadSeconds(std::string_view text) { return ParseDecimalFraction(text, 365.0 * 86400); }

// Whether pattern matches the start of path ("*" any text; a final "$" asks for the whole
// path). Backtracks only to the last "*", so a check costs at most pattern x path steps.
bool Matches(std::string_view pattern, std::string_view path) {
  bool anchored = !pattern.empty() && pattern.back() == '$';
  if (anchored) pattern.remove_suffix(1);
  size_t p = 0;
  size_t s = 0;
  size_t starP = std::string_view::npos;
  size_t starS = 0;
  while (true) {
    if (p == pattern.size()) {
      if (!anchored || s == path.size()) return true;
    } else if (pattern[p] == '*') {
      starP = p++;
      starS = s;
      continue;
    } else if (s < path.size() && pattern[p] == path[s]) {
      ++p;
      ++s;
      continue;
    }
    if (starP == std::string_view::npos || starS >= path.size()) return false;
    p = starP + 1;
    s = ++starS;
  }
}

// The part of text that is read: at most kMaxBytes, ending at a line end when cut.
std::string_view ReadablePart(std::string_view text) {
  if (text.size() <= CRobotsTxt::kMaxBytes) return text;
  text = text.substr(0, CRobotsTxt::kMaxBytes);
  size_t lastBreak = text.find_last_of("\r\n");
  return lastBreak == std::string_view::npos ? std::string_view() : text.substr(0, lastBreak);
}

// The rules of one kind of group as the file is read: those naming the product token, or "*".
struct GroupRules {
  bool found = false;
  std::vector<std::pair<std::string, bool>> rules;  // normalised pattern, allow
  std::optional<double> crawlDelay;
};

class Reader {
 public:
  explicit Reader(std::string_view productToken) : token_(productToken) {}

  void Line(std::string_view line) {
    size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;  // not a record: skipped
    std::string_view key = Trim(line.substr(0, colon));
    std::string_view value = Trim(line.substr(colon + 1));
    if (EqualsIgnoreCase(key, "user-agent")) {
      UserAgent(value);
    } else if (EqualsIgnoreCase(key, "allow") || EqualsIgnoreCase(key, "disallow")) {
      inAgentLines_ = false;
      if (!value.empty()) AddRule(value, EqualsIgnoreCase(key, "allow"));
    } else if (EqualsIgnoreCase(key, "crawl-delay")) {
      inAgentLines_ = false;
      if (std::optional<double> seconds = ReadSeconds(value)) AddDelay(*seconds);
    } else if (EqualsIgnoreCase(key, "sitemap")) {
      namesSitemap_ = namesSitemap_ || !value.empty();
    }
    // Other records (sitemap and the like) belong to no group and do not end one.
  }

  bool namesSitemap() const { return namesSitemap_; }

  const GroupRules& own() const { return own_; }
  const GroupRules& star() const { return star_; }

 private:
  void UserAgent(std::string_view value) {
    if (!inAgentLines_) {
      // A user-agent line after a group's rules starts the next group.
      forOwn_ = false;
      forStar_ = false;
      inAgentLines_ = true;
    }
    if (!value.empty() && value[0] == '*') {
      forStar_ = true;
      star_.found = true;
    } else if (!token_.empty() && EqualsIgnoreCase(TokenOf(value), token_)) {
      forOwn_ = true;
      own_.found = true;
    }
  }

  void AddRule(std::string_view value, bool allow) {
    if (!forOwn_ && !forStar_) return;
    std::string pattern = value[0] == '/' || value[0] == '*' ? std::string() : std::string("/");
    pattern += NormalizeRobotsPath(value);
    if (forOwn_) own_.rules.emplace_back(pattern, allow);
    if (forStar_) star_.rules.emplace_back(std::move(pattern), allow);
  }

  void AddDelay(double seconds) {
    auto raise = [seconds](GroupRules& group) {
      group.crawlDelay = std::max(group.crawlDelay.value_or(0.0), seconds);
    };
    if (forOwn_) raise(own_);
    if (forStar_) raise(star_);
  }

  std::string_view token_;
  bool inAgentLines_ = false;
  bool forOwn_ = false;   // the group being read names the product token
  bool forStar_ = false;  // the group being read names "*"
  GroupRules own_;
  bool namesSitemap_ = false;
  GroupRules star_;
};

}  // namespace

std::string NormalizeRobotsPath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == '%') {
      const std::optional<unsigned char> decoded = PercentEscapeAt(path, i);
      if (!decoded) {
        out += "%25";
        continue;
      }
      if (IsUnreservedByte(*decoded)) out += static_cast<char>(*decoded);
      else AppendPercentEscape(out, *decoded);
      i += 2;
    } else if (c <= 0x20 || c >= 0x7F) {
      AppendPercentEscape(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string RobotsProductToken(std::string_view userAgent) { return std::string(TokenOf(Trim(userAgent))); }

CRobotsTxt CRobotsTxt::Parse(std::string_view text, std::string_view productToken) {
  text = ReadablePart(text);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 byte order mark
  Reader reader(productToken);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    reader.Line(text.substr(start, end - start));
    start = end + 1;
  }
  const GroupRules& chosen = reader.own().found ? reader.own() : reader.star();
  CRobotsTxt result;
  result.ownGroup_ = reader.own().found;
  result.namesSitemap_ = reader.namesSitemap();
  result.crawlDelay_ = chosen.crawlDelay;
  result.rules_.reserve(chosen.rules.size());
  for (const auto& [pattern, allow] : chosen.rules) result.rules_.push_back(Rule{pattern, allow});
  return result;
}

bool CRobotsTxt::IsAllowed(std::string_view path) const {
  size_t fragment = path.find('#');
  if (fragment != std::string_view::npos) path = path.substr(0, fragment);
  std::string subject = !path.empty() && path[0] == '/' ? std::string() : std::string("/");
  subject += NormalizeRobotsPath(path);
  if (subject == "/robots.txt") return true;
  size_t bestLength = 0;
  bool bestAllow = true;
  bool matched = false;
  for (const Rule& rule : rules_) {
    if (!Matches(rule.pattern, subject)) continue;
    size_t length = rule.pattern.size();
    if (!matched || length > bestLength) {
      bestLength = length;
      bestAllow = rule.allow;
      matched = true;
    } else if (length == bestLength && rule.allow) {
      bestAllow = true;  // an Allow as long as a Disallow wins
    }
  }
  return !matched || bestAllow;
}
