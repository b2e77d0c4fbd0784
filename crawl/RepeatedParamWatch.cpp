#include "crawl/RepeatedParamWatch.h"

#include <vector>

void RepeatedParamWatch::Admitted(std::string_view pathAndQuery) {
  if (noticed_.load(std::memory_order_relaxed)) return;
  const size_t question = pathAndQuery.find('?');
  if (question == std::string_view::npos) return;
  try {
    // One key per parameter: its name, then the address with the parameter's value left out.
    std::vector<std::string> keys;
    size_t start = question + 1;
    while (start <= pathAndQuery.size()) {
      size_t end = pathAndQuery.find('&', start);
      if (end == std::string_view::npos) end = pathAndQuery.size();
      const std::string_view piece = pathAndQuery.substr(start, end - start);
      const std::string_view name = piece.substr(0, piece.find('='));
      if (!name.empty()) {
        std::string key;
        key.reserve(pathAndQuery.size() + 1);
        key.append(name).push_back('\0');
        key.append(pathAndQuery.substr(0, start)).append(name).append(pathAndQuery.substr(end));
        keys.push_back(std::move(key));
      }
      start = end + 1;
    }
    std::lock_guard<std::mutex> guard(lock_);
    for (std::string& key : keys) {
      auto it = counts_.find(key);
      if (it == counts_.end()) {
        if (counts_.size() >= kMaxKeys) {
          // Keep the addresses that repeat; those seen once are most of a site's.
          for (auto k = counts_.begin(); k != counts_.end();) k = k->second < 2 ? counts_.erase(k) : std::next(k);
          if (counts_.size() >= kMaxKeys) continue;
        }
        counts_.emplace(std::move(key), 1u);
        continue;
      }
      if (++it->second > kThreshold && found_.empty()) {
        found_ = it->first.substr(0, it->first.find('\0'));
        noticed_.store(true);
        counts_.clear();
        return;
      }
    }
  } catch (...) {
    // Out of memory: the hint is only a hint.
  }
}

std::string RepeatedParamWatch::Parameter() const {
  if (!noticed_.load()) return {};
  std::lock_guard<std::mutex> guard(lock_);
  return found_;
}
