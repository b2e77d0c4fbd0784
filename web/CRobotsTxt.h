#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules of a site's robots.txt (RFC 9309) that apply to one crawler.
//
// Groups start with one or more consecutive "user-agent" lines; the crawler obeys every group
// naming its product token (letter case ignored), else every "*" group, else nothing. Allow
// and Disallow paths may hold "*" (any text) and a final "$" (end of the path); the matching
// rule with the longest path wins, and Allow wins a tie. Paths are compared with their
// percent-encoding made uniform on both sides. "/robots.txt" itself is always allowed.
// Anything the format does not know is skipped, so no text makes parsing fail.
//
//   CRobotsTxt rules = CRobotsTxt::Parse(body, RobotsProductToken(userAgent));
//   if (!rules.IsAllowed("/private/a.html")) ...
class CRobotsTxt {
 public:
  // Only this much of a file is read (the least a crawler must read): a longer file loses its
  // end, and the line cut there is dropped too, so that no rule is read shortened.
  static constexpr size_t kMaxBytes = 500 * 1024;

  // No rules: everything allowed.
  CRobotsTxt() = default;

  // The rules of text for productToken; an empty token finds only the "*" groups.
  static CRobotsTxt Parse(std::string_view text, std::string_view productToken);

  // Whether a path on the site (path and query, as the crawl holds it) may be fetched. A
  // fragment is not part of the comparison; a path without its leading "/" gets one.
  bool IsAllowed(std::string_view path) const;

  // The largest Crawl-delay of the chosen groups, in seconds (fractions kept); absent when
  // they have none that reads as a number. Not part of the RFC, but widely sent.
  std::optional<double> crawlDelaySeconds() const { return crawlDelay_; }
  // Whether a group named the product token (else the "*" groups or none apply).
  bool ownGroupFound() const { return ownGroup_; }
  size_t ruleCount() const { return rules_.size(); }
  // Whether the file has a Sitemap record (which any crawler may read, whatever its group).
  bool namesSitemap() const { return namesSitemap_; }

 private:
  struct Rule {
    std::string pattern;  // percent-encoding made uniform; "*" and a final "$" special
    bool allow = false;
  };

  std::vector<Rule> rules_;
  std::optional<double> crawlDelay_;
  bool namesSitemap_ = false;
  bool ownGroup_ = false;
};

// The product token of a user agent: its text up to the first "/" or white space, so
// "VeltroBot/1.0 (+https://a.example/)" gives "VeltroBot". Empty for an empty user agent.
std::string RobotsProductToken(std::string_view userAgent);

// A path or rule path with uniform percent-encoding: "%HH" of an unreserved character
// (letters, digits, "-", ".", "_", "~") decoded, other "%HH" kept with upper-case digits, a
// "%" not followed by two hexadecimal digits written "%25", and bytes outside printable
// ASCII written "%HH".
std::string NormalizeRobotsPath(std::string_view path);
