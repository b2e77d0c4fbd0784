#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "app/platform/WindowMessages.h"

// A window without a toolkit: posted messages queue up and the owning thread takes them
// in posted order. Used by tests and benchmarks that play the main window.
class MessageQueue : public MessageSink {
 public:
  MessageQueue();
  ~MessageQueue() override;
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  WindowHandle handle() const { return handle_; }
  void Post(const PostedMessage& msg) override;
  // Waits up to timeout for the next message; nullopt on time-out.
  std::optional<PostedMessage> Take(std::chrono::milliseconds timeout);
  size_t size() const;

 private:
  mutable std::mutex lock_;
  std::condition_variable ready_;
  std::deque<PostedMessage> queue_;
  WindowHandle handle_;
};
