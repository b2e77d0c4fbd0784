#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

// Notices a site that makes endless addresses out of one query parameter (a session id, a
// calendar's month, a shop's facets): more than kThreshold admitted addresses that differ from
// another one only in that parameter's value. It only tells; the user decides on a rule. Its
// memory is bounded: past kMaxKeys the addresses seen once are forgotten. Thread safe.
class RepeatedParamWatch {
 public:
  static constexpr uint32_t kThreshold = 1000;
  static constexpr size_t kMaxKeys = 20000;

  // An address admitted for the first time (path and query as stored).
  void Admitted(std::string_view pathAndQuery);
  // The parameter's name as the site writes it; empty while none has been noticed.
  std::string Parameter() const;

 private:
  mutable std::mutex lock_;  // guards counts_ and found_
  // (the address without the parameter, its name) -> how many admitted addresses share it
  std::unordered_map<std::string, uint32_t> counts_;
  std::string found_;
  std::atomic<bool> noticed_{false};
};
