#include "render/DevToolsMailbox.h"

void DevToolsMailbox::Post(nlohmann::json message) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (closed_) return;
    messages_.push_back(std::move(message));
  }
  ready_.notify_one();
}

void DevToolsMailbox::Close() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
  }
  ready_.notify_all();
}

std::optional<nlohmann::json> DevToolsMailbox::Take(std::chrono::steady_clock::time_point until) {
  std::unique_lock<std::mutex> guard(lock_);
  ready_.wait_until(guard, until, [this] { return closed_ || !messages_.empty(); });
  if (messages_.empty()) return std::nullopt;
  nlohmann::json message = std::move(messages_.front());
  messages_.pop_front();
  return message;
}

bool DevToolsMailbox::closed() const {
  std::lock_guard<std::mutex> guard(lock_);
  return closed_;
}
