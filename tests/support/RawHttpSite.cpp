#include "support/RawHttpSite.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// How often blocked waits look at the stop request.
constexpr int kPollMs = 50;

// Closes its descriptor when it goes.
class OwnedFd {
 public:
  explicit OwnedFd(int fd) : fd_(fd) {}
  ~OwnedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Waits for the descriptor to be ready; false on stop, hang-up or error.
bool WaitReady(int fd, short events, const std::atomic<bool>& stopping) {
  while (!stopping.load()) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, kPollMs);
    if (n < 0 && errno != EINTR) return false;
    if (n > 0) return (p.revents & events) != 0;  // a hang-up or error alone ends the wait
  }
  return false;
}

const char* ReasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

std::string HeadOf(int status, const std::string& contentType, size_t length, const std::vector<std::string>& extra) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + ReasonOf(status) + "\r\n";
  if (!contentType.empty()) head += "Content-Type: " + contentType + "\r\n";
  head += "Content-Length: " + std::to_string(length) + "\r\n";
  for (const std::string& line : extra) head += line + "\r\n";
  return head + "\r\n";
}

}  // namespace

bool RawHttpSite::Connection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (!WaitReady(fd_, POLLOUT, stopping_)) return false;
    const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return !stopping_.load();
}

RawHttpSite::RawHttpSite() = default;

RawHttpSite::~RawHttpSite() { Stop(); }

void RawHttpSite::Route(const std::string& path, Handler handler) { exact_[path] = std::move(handler); }

void RawHttpSite::RoutePrefix(const std::string& prefix, Handler handler) { prefixes_[prefix] = std::move(handler); }

bool RawHttpSite::Start() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t size = sizeof addr;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 512) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size) != 0) {
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void RawHttpSite::Stop() {
  stopping_.store(true);
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> running;
  {
    std::lock_guard<std::mutex> guard(lock_);
    running.swap(connections_);
  }
  for (std::thread& t : running) t.join();
  if (listenFd_ >= 0) ::close(listenFd_);
  listenFd_ = -1;
}

std::string RawHttpSite::origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> RawHttpSite::targets() const {
  std::lock_guard<std::mutex> guard(lock_);
  return targets_;
}

size_t RawHttpSite::count(const std::string& target) const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<size_t>(std::count(targets_.begin(), targets_.end(), target));
}

void RawHttpSite::AcceptLoop() {
  while (WaitReady(listenFd_, POLLIN, stopping_)) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::lock_guard<std::mutex> guard(lock_);
    connections_.emplace_back([this, fd] { Serve(fd); });
  }
}

const RawHttpSite::Handler* RawHttpSite::Find(const std::string& path) const {
  auto exact = exact_.find(path);
  if (exact != exact_.end()) return &exact->second;
  const Handler* best = nullptr;
  size_t bestLength = 0;
  for (const auto& [prefix, handler] : prefixes_) {
    if (path.compare(0, prefix.size(), prefix) == 0 && prefix.size() >= bestLength) {
      best = &handler;
      bestLength = prefix.size();
    }
  }
  return best;
}

void RawHttpSite::Serve(int rawFd) {
  OwnedFd fd(rawFd);
  Connection out(fd.get(), stopping_);
  std::string received;
  char chunk[16384];
  for (;;) {
    size_t end = received.find("\r\n\r\n");
    while (end == std::string::npos) {
      if (received.size() > kMaxRequestHead || !WaitReady(fd.get(), POLLIN, stopping_)) return;
      const ssize_t n = ::recv(fd.get(), chunk, sizeof chunk, 0);
      if (n <= 0) return;  // the client closed the connection
      received.append(chunk, static_cast<size_t>(n));
      end = received.find("\r\n\r\n");
    }
    // "GET target HTTP/1.1"
    const size_t first = received.find(' ');
    const size_t second = first == std::string::npos ? first : received.find(' ', first + 1);
    if (second == std::string::npos || second > end) return;
    const std::string target = received.substr(first + 1, second - first - 1);
    received.erase(0, end + 4);
    {
      std::lock_guard<std::mutex> guard(lock_);
      targets_.push_back(target);
    }
    const std::string path = target.substr(0, target.find('?'));
    const Handler* handler = Find(path);
    const bool keep = handler ? (*handler)(target, out)
                              : out.Send(HttpAnswer(404, "text/html", "<html><body>missing</body></html>"));
    if (!keep) return;
  }
}

std::string HttpAnswer(int status, const std::string& contentType, const std::string& body,
                       const std::vector<std::string>& extraHeaders) {
  return HeadOf(status, contentType, body.size(), extraHeaders) + body;
}

RawHttpSite::Handler FixedAnswer(int status, const std::string& contentType, const std::string& body,
                                 const std::vector<std::string>& extraHeaders) {
  std::string answer = HttpAnswer(status, contentType, body, extraHeaders);
  return [answer](const std::string&, RawHttpSite::Connection& out) { return out.Send(answer); };
}

RawHttpSite::Handler GeneratedPage(size_t length, std::function<void(size_t offset, std::string& block)> fill) {
  return [length, fill](const std::string&, RawHttpSite::Connection& out) {
    if (!out.Send(HeadOf(200, "text/html", length, {}))) return false;
    constexpr size_t kBlock = 64 * 1024;
    std::string block;
    for (size_t offset = 0; offset < length;) {
      block.clear();
      fill(offset, block);
      if (block.empty()) block.assign(std::min(kBlock, length - offset), ' ');
      if (block.size() > length - offset) block.resize(length - offset);
      if (!out.Send(block)) return false;
      offset += block.size();
    }
    return true;
  };
}
