#pragma once
#include <httplib.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/ServerRunner.h"

// An HTTP server on 127.0.0.1 at a free port, running on its own thread for the life of
// the object. Tests add handlers through server() before Start. Every request path that
// reached the server is logged, in arrival order.
// Note: the server gzip-compresses text answers when the client accepts gzip.
class LoopbackServer {
 public:
  // threads: how many requests are answered at once (each kept-alive connection holds one);
  // 0 keeps the library's small default.
  explicit LoopbackServer(size_t threads = 0);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& server() { return server_; }
  // Binds address (127.0.0.1, or ::1 for IPv6) and starts listening; returns false when no
  // port could be bound.
  bool Start(const std::string& address = "127.0.0.1");
  void Stop();

  int port() const { return runner_.port(); }
  // "127.0.0.1:PORT", "[::1]:PORT"
  std::string hostPort() const;
  // "http://127.0.0.1:PORT"
  std::string origin() const;

  std::vector<std::string> requestLog() const;
  size_t requestCount(const std::string& path) const;

 private:
  httplib::Server server_;
  ServerRunner runner_;
  std::string address_ = "127.0.0.1";
  mutable std::mutex logLock_;
  std::vector<std::string> log_;
};
