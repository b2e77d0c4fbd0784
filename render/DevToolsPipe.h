#pragma once
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

#include "render/DevToolsMailbox.h"
#include "render/UniqueFd.h"

// The DevTools protocol over a browser's pipe: each message one JSON text ended by a NUL byte.
// Commands carry ids; a reader thread hands each reply to the mailbox its command named and
// each event to the mailbox of its session. When the pipe ends (the browser died), every
// mailbox is closed, so that every waiting call returns at once.
class DevToolsPipe {
 public:
  // Browser-wide events (no session) go to browserEvents, on the reader thread: it must not
  // block.
  using EventHandler = std::function<void(const nlohmann::json& event)>;

  DevToolsPipe(UniqueFd commands, UniqueFd replies, EventHandler browserEvents);
  ~DevToolsPipe();
  DevToolsPipe(const DevToolsPipe&) = delete;
  DevToolsPipe& operator=(const DevToolsPipe&) = delete;

  // Sends a command (sessionId empty: to the browser); its whole reply message goes to replyTo,
  // or is dropped when replyTo is null. Gives the command's id; 0 when the pipe has ended.
  int64_t Send(const std::string& method, const nlohmann::json& params, const std::string& sessionId,
            const std::shared_ptr<DevToolsMailbox>& replyTo);
  // Sends and waits for the reply's result; nullopt on an error reply, the pipe's end, or when
  // no reply came by until.
  std::optional<nlohmann::json> Call(const std::string& method, const nlohmann::json& params,
                                     const std::string& sessionId, std::chrono::steady_clock::time_point until);

  // Where the events of a session go, until Unroute.
  void Route(const std::string& sessionId, const std::shared_ptr<DevToolsMailbox>& events);
  void Unroute(const std::string& sessionId);

  bool ended() const;

 private:
  bool Write(const std::string& text);
  void ReadLoop();
  void Dispatch(const char* text, size_t size);
  void End();

  UniqueFd commands_;
  UniqueFd replies_;
  UniqueFd wakeRead_, wakeWrite_;  // written at destruction to end the reader
  EventHandler browserEvents_;
  std::mutex writeLock_;  // one message at a time on the pipe
  mutable std::mutex lock_;
  int64_t nextId_ = 1;
  bool ended_ = false;
  std::unordered_map<int64_t, std::shared_ptr<DevToolsMailbox>> waiting_;
  std::unordered_map<std::string, std::shared_ptr<DevToolsMailbox>> sessions_;
  std::thread reader_;
};

// Compact JSON text; bytes that are not UTF-8 become U+FFFD instead of failing.
std::string JsonText(const nlohmann::json& value);
