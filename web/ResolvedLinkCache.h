#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "web/WebAddress.h"

// What hrefs resolved to, remembered for one worker from page to page: pages of a site repeat
// their navigation, their footers and the links to every sibling of a folder, and libcurl's
// reference resolution costs some 20,000 instructions a link. Keyed by the directory of the
// base (scheme, host, port and path up to its last "/") and the href as the resolver reads it,
// which together decide the answer for every href but an empty one or a query alone (those
// depend on the base's last segment and query, and are never asked of the cache).
// Bounded: two generations of at most kEntries each; when the newer one fills, the older is
// dropped, so what the last pages used stays and the rest goes.
class ResolvedLinkCache {
 public:
  static constexpr size_t kEntries = 512;
  // An href longer than this is not remembered: it is rarely repeated, and would hold room.
  static constexpr size_t kLongestHref = 512;

  struct Answer {
    bool ok = false;  // false: the href leads to no http(s) address
    WebAddress address;
  };

  // The remembered answer for href under directory; null when there is none.
  const Answer* Find(const std::string& directory, const std::string& href);
  void Remember(const std::string& directory, const std::string& href, const Answer& answer);

  uint64_t hits() const { return hits_; }
  uint64_t misses() const { return misses_; }
  size_t size() const { return newer_.size() + older_.size(); }

 private:
  Answer& Insert(std::string key, Answer answer);

  std::unordered_map<std::string, Answer> newer_;
  std::unordered_map<std::string, Answer> older_;
  std::string key_;  // reused for lookups
  uint64_t hits_ = 0;
  uint64_t misses_ = 0;
};
