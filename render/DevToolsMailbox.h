#pragma once
#include <nlohmann/json.hpp>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// Messages of the DevTools protocol waiting for one reader: the replies to its commands, or the
// events of one tab. Closed when the pipe to the browser ends.
class DevToolsMailbox {
 public:
  void Post(nlohmann::json message);
  void Close();
  // The next message; nullopt when none came by until, or the mailbox is closed and empty.
  std::optional<nlohmann::json> Take(std::chrono::steady_clock::time_point until);
  bool closed() const;

 private:
  mutable std::mutex lock_;
  std::condition_variable ready_;
  std::deque<nlohmann::json> messages_;
  bool closed_ = false;
};
