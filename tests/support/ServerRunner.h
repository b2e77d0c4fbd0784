#pragma once
#include <httplib.h>

#include <thread>

// Runs a cpp-httplib server on a loopback address at a free port on a thread of its own, set up as
// real servers are: TCP_NODELAY on kept-alive connections (each answer would otherwise wait
// for a delayed ACK) and a listen queue long enough for hundreds of connections at once (the
// library's own queue of 5 drops them). Stops the server when destroyed.
class ServerRunner {
 public:
  // threads: requests answered at once (each kept-alive connection holds one), 0 for the
  // library's default of 8; keepAliveRequests: requests a connection serves before it closes.
  ServerRunner(httplib::Server& server, size_t threads, size_t keepAliveRequests);
  ~ServerRunner();
  ServerRunner(const ServerRunner&) = delete;
  ServerRunner& operator=(const ServerRunner&) = delete;

  // Binds address (a loopback address: 127.0.0.x or ::1). False when no port could be bound
  // or the server did not start.
  bool Start(const std::string& address = "127.0.0.1");
  void Stop();
  int port() const { return port_; }

 private:
  static constexpr int kListenQueue = 1024;

  httplib::Server& server_;
  std::thread thread_;
  int port_ = 0;
  int listenSocket_ = -1;
};
