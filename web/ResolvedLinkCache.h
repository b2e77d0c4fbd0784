#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "web/WebAddress.h"

// What hrefs resolved to, remembered for one worker from page to page: pages of a site repeat
// their navigation, their footers and the links to every sibling of a folder, and libcurl's
// reference resolution costs some 20,000 instructions a link. Keyed by what of the base
// decides the answer (the resolver chooses it: the directory of the base, or only its origin
// or scheme for hrefs that replace the whole path) and the href as the resolver reads it.
// Bounded: 2 * kEntries slots in sets of kWays; a new answer takes the set's least recently
// used slot, so what the last pages used stays and the rest goes. A slot keeps the room of
// its strings when it is taken over, so a crawl that has warmed the cache allocates nothing
// here, whether its links repeat or not.
class ResolvedLinkCache {
 public:
  static constexpr size_t kEntries = 512;
  // An href longer than this is not remembered: it is rarely repeated, and would hold room.
  static constexpr size_t kLongestHref = 512;

  struct Answer {
    bool ok = false;  // false: the href leads to no http(s) address
    WebAddress address;
  };

  // The remembered answer for href under base; null when there is none.
  const Answer* Find(std::string_view base, const std::string& href);
  // address is read only when ok.
  void Remember(std::string_view base, const std::string& href, bool ok, const WebAddress& address);

  uint64_t hits() const { return hits_; }
  uint64_t misses() const { return misses_; }
  size_t size() const;

 private:
  static constexpr size_t kWays = 8;
  static constexpr size_t kSets = 2 * kEntries / kWays;

  struct Slot {
    uint64_t lastUse = 0;  // 0: empty
    size_t hash = 0;
    std::string key;
    Answer answer;
  };

  // Builds the key of (base, href) in key_ and its hash in keyHash_.
  void MakeKey(std::string_view base, const std::string& href);
  bool KeyIs(std::string_view base, const std::string& href) const;
  Slot* SetOf(size_t hash) { return &slots_[(hash % kSets) * kWays]; }

  std::vector<Slot> slots_;  // kSets * kWays, made when the first answer is remembered
  std::string key_;          // the last key looked up, its room reused
  size_t keyHash_ = 0;
  bool keyValid_ = false;
  uint64_t clock_ = 0;
  uint64_t hits_ = 0;
  uint64_t misses_ = 0;
};
