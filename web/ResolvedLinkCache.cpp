#include "web/ResolvedLinkCache.h"

#include <functional>

// A line break appears in no base and in no href the resolver reads (it takes them out), so
// no two pairs share a key.
void ResolvedLinkCache::MakeKey(std::string_view base, const std::string& href) {
  key_.clear();
  key_.append(base).append(1, '\n').append(href);
  keyHash_ = std::hash<std::string>{}(key_);
  keyValid_ = true;
}

bool ResolvedLinkCache::KeyIs(std::string_view base, const std::string& href) const {
  return keyValid_ && key_.size() == base.size() + 1 + href.size() && key_.compare(0, base.size(), base) == 0 &&
         key_[base.size()] == '\n' && key_.compare(base.size() + 1, href.size(), href) == 0;
}

const ResolvedLinkCache::Answer* ResolvedLinkCache::Find(std::string_view base, const std::string& href) {
  MakeKey(base, href);
  if (!slots_.empty()) {
    Slot* set = SetOf(keyHash_);
    for (size_t i = 0; i < kWays; ++i) {
      Slot& slot = set[i];
      if (slot.lastUse != 0 && slot.hash == keyHash_ && slot.key == key_) {
        ++hits_;
        slot.lastUse = ++clock_;
        return &slot.answer;
      }
    }
  }
  ++misses_;
  return nullptr;
}

void ResolvedLinkCache::Remember(std::string_view base, const std::string& href, bool ok, const WebAddress& address) {
  if (href.size() > kLongestHref) return;
  // The resolver remembers what it has just failed to find: the key is usually built already.
  if (!KeyIs(base, href)) MakeKey(base, href);
  if (slots_.empty()) slots_.resize(kSets * kWays);
  Slot* set = SetOf(keyHash_);
  Slot* victim = set;
  for (size_t i = 0; i < kWays; ++i) {
    Slot& slot = set[i];
    if (slot.lastUse != 0 && slot.hash == keyHash_ && slot.key == key_) {
      victim = &slot;
      break;
    }
    if (slot.lastUse < victim->lastUse) victim = &slot;
  }
  // Assignment, not construction: the slot's strings keep their room.
  victim->lastUse = ++clock_;
  victim->hash = keyHash_;
  victim->key = key_;
  victim->answer.ok = ok;
  if (ok) {
    victim->answer.address = address;
  } else {
    victim->answer.address.scheme.clear();
    victim->answer.address.host.clear();
    victim->answer.address.port.clear();
    victim->answer.address.pathAndQuery.clear();
  }
}

size_t ResolvedLinkCache::size() const {
  size_t used = 0;
  for (const Slot& slot : slots_) used += slot.lastUse != 0 ? 1 : 0;
  return used;
}
