#include "render/DevToolsPipe.h"

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

std::string JsonText(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

namespace {

// Writes to a pipe whose reader may be gone without the process-wide SIGPIPE: the signal is
// blocked on this thread, and one it raised is taken back before unblocking.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipeOnly_);
    sigaddset(&pipeOnly_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipeOnly_, &old_);
  }
  ~SigpipeGuard() {
    if (raised_ && !wasPending_) {
      const timespec zero{0, 0};
      while (sigtimedwait(&pipeOnly_, nullptr, &zero) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;
  void Raised() { raised_ = true; }

 private:
  sigset_t pipeOnly_, old_;
  bool wasPending_ = false;
  bool raised_ = false;
};

}  // namespace

DevToolsPipe::DevToolsPipe(UniqueFd commands, UniqueFd replies, EventHandler browserEvents)
    : commands_(std::move(commands)), replies_(std::move(replies)), browserEvents_(std::move(browserEvents)) {
  if (!MakePipe(wakeRead_, wakeWrite_) || !commands_.valid() || !replies_.valid()) {
    ended_ = true;
    return;
  }
  reader_ = std::thread([this] { ReadLoop(); });
}

DevToolsPipe::~DevToolsPipe() {
  if (reader_.joinable()) {
    const char byte = 0;
    while (::write(wakeWrite_.get(), &byte, 1) < 0 && errno == EINTR) {
    }
    reader_.join();
  }
  End();
}

bool DevToolsPipe::ended() const {
  std::lock_guard<std::mutex> guard(lock_);
  return ended_;
}

void DevToolsPipe::Route(const std::string& sessionId, const std::shared_ptr<DevToolsMailbox>& events) {
  std::lock_guard<std::mutex> guard(lock_);
  if (ended_) {
    events->Close();
    return;
  }
  sessions_[sessionId] = events;
}

void DevToolsPipe::Unroute(const std::string& sessionId) {
  std::lock_guard<std::mutex> guard(lock_);
  sessions_.erase(sessionId);
}

int64_t DevToolsPipe::Send(const std::string& method, const nlohmann::json& params, const std::string& sessionId,
                        const std::shared_ptr<DevToolsMailbox>& replyTo) {
  nlohmann::json message = {{"method", method}, {"params", params.is_null() ? nlohmann::json::object() : params}};
  if (!sessionId.empty()) message["sessionId"] = sessionId;
  int64_t id = 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (ended_) return 0;
    id = nextId_++;
    // Registered before writing: the reply may come before Write returns.
    if (replyTo) waiting_[id] = replyTo;
  }
  message["id"] = id;
  if (Write(JsonText(message))) return id;
  std::lock_guard<std::mutex> guard(lock_);
  waiting_.erase(id);
  return 0;
}

std::optional<nlohmann::json> DevToolsPipe::Call(const std::string& method, const nlohmann::json& params,
                                                 const std::string& sessionId,
                                                 std::chrono::steady_clock::time_point until) {
  auto mailbox = std::make_shared<DevToolsMailbox>();
  if (Send(method, params, sessionId, mailbox) == 0) return std::nullopt;
  std::optional<nlohmann::json> reply = mailbox->Take(until);
  if (!reply) {
    // Late replies find no mailbox.
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = waiting_.begin(); it != waiting_.end(); ++it)
      if (it->second == mailbox) {
        waiting_.erase(it);
        break;
      }
    return std::nullopt;
  }
  auto result = reply->find("result");
  if (reply->contains("error") || result == reply->end()) return std::nullopt;
  return std::move(*result);
}

bool DevToolsPipe::Write(const std::string& text) {
  std::lock_guard<std::mutex> guard(writeLock_);
  SigpipeGuard sigpipe;
  const char* data = text.c_str();
  size_t left = text.size() + 1;  // with its NUL
  while (left > 0) {
    const ssize_t n = ::write(commands_.get(), data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) sigpipe.Raised();
      return false;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

void DevToolsPipe::ReadLoop() {
  std::vector<char> pending;
  std::vector<char> chunk(1 << 16);
  for (;;) {
    pollfd fds[2] = {{replies_.get(), POLLIN, 0}, {wakeRead_.get(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents) break;
    const ssize_t n = ::read(replies_.get(), chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    size_t start = 0;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
      if (chunk[i] != '\0') continue;
      if (pending.empty()) {
        Dispatch(chunk.data() + start, i - start);
      } else {
        pending.insert(pending.end(), chunk.begin() + start, chunk.begin() + i);
        Dispatch(pending.data(), pending.size());
        pending.clear();
      }
      start = i + 1;
    }
    pending.insert(pending.end(), chunk.begin() + start, chunk.begin() + n);
  }
  End();
}

void DevToolsPipe::Dispatch(const char* text, size_t size) try {
  nlohmann::json message = nlohmann::json::parse(text, text + size, nullptr, false);
  if (!message.is_object()) return;
  std::shared_ptr<DevToolsMailbox> to;
  auto id = message.find("id");
  if (id != message.end()) {
    if (!id->is_number_integer()) return;
    std::lock_guard<std::mutex> guard(lock_);
    auto it = waiting_.find(id->get<int64_t>());
    if (it == waiting_.end()) return;
    to = std::move(it->second);
    waiting_.erase(it);
  } else {
    auto session = message.find("sessionId");
    if (session == message.end() || !session->is_string()) {
      if (browserEvents_) browserEvents_(message);
      return;
    }
    std::lock_guard<std::mutex> guard(lock_);
    auto it = sessions_.find(session->get<std::string>());
    if (it == sessions_.end()) return;
    to = it->second;
  }
  to->Post(std::move(message));
} catch (const std::exception&) {
  // A message we cannot hold is dropped; its caller's wait runs out.
}

void DevToolsPipe::End() {
  std::unordered_map<int64_t, std::shared_ptr<DevToolsMailbox>> waiting;
  std::unordered_map<std::string, std::shared_ptr<DevToolsMailbox>> sessions;
  {
    std::lock_guard<std::mutex> guard(lock_);
    ended_ = true;
    waiting.swap(waiting_);
    sessions.swap(sessions_);
  }
  for (auto& [id, mailbox] : waiting) mailbox->Close();
  for (auto& [id, mailbox] : sessions) mailbox->Close();
}
