#include "app/platform/MessageQueue.h"

MessageQueue::MessageQueue() : handle_(RegisterWindow(this)) {}

MessageQueue::~MessageQueue() { UnregisterWindow(handle_); }

void MessageQueue::Post(const PostedMessage& msg) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.push_back(msg);
  }
  ready_.notify_one();
}

std::optional<PostedMessage> MessageQueue::Take(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!ready_.wait_for(guard, timeout, [this] { return !queue_.empty(); })) return std::nullopt;
  PostedMessage msg = queue_.front();
  queue_.pop_front();
  return msg;
}

size_t MessageQueue::size() const {
  std::lock_guard<std::mutex> guard(lock_);
  return queue_.size();
}
