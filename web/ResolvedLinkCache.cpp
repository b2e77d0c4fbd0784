#include "web/ResolvedLinkCache.h"

#include <utility>

namespace {

// A line break appears in no directory and in no href the resolver reads (it takes them out),
// so no two pairs share a key.
void MakeKey(std::string& key, const std::string& directory, const std::string& href) {
  key.clear();
  key.append(directory).append(1, '\n').append(href);
}

}  // namespace

const ResolvedLinkCache::Answer* ResolvedLinkCache::Find(const std::string& directory, const std::string& href) {
  MakeKey(key_, directory, href);
  if (auto it = newer_.find(key_); it != newer_.end()) {
    ++hits_;
    return &it->second;
  }
  if (auto it = older_.find(key_); it != older_.end()) {
    ++hits_;
    // Still in use: it moves to the newer generation, so the next turn-over keeps it.
    Answer answer = std::move(it->second);
    older_.erase(it);
    return &Insert(std::string(key_), std::move(answer));
  }
  ++misses_;
  return nullptr;
}

void ResolvedLinkCache::Remember(const std::string& directory, const std::string& href, const Answer& answer) {
  if (href.size() > kLongestHref) return;
  std::string key;
  MakeKey(key, directory, href);
  Insert(std::move(key), answer);
}

ResolvedLinkCache::Answer& ResolvedLinkCache::Insert(std::string key, Answer answer) {
  if (newer_.size() >= kEntries) {
    older_ = std::move(newer_);
    newer_.clear();
  }
  return newer_.insert_or_assign(std::move(key), std::move(answer)).first->second;
}
