#include "support/LoopbackServer.h"

#include <algorithm>
#include <chrono>

#include <sys/socket.h>

LoopbackServer::LoopbackServer(size_t threads) {
  if (threads > 0) server_.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  // The library listens with a queue of 5 connections: a crawl of hundreds of workers would
  // see connections dropped and retried. Its socket is kept so that Start can widen the queue.
  server_.set_socket_options([this](socket_t sock) {
    httplib::default_socket_options(sock);
    listenSocket_ = sock;
  });
  // Logged on arrival: the logger would run after the answer, when the client may be done.
  server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
    std::string target = req.path;
    if (!req.params.empty()) {
      // Keep the query as the client sent it, for tests that check exact request texts.
      auto q = req.target.find('?');
      if (q != std::string::npos) target = req.target;
    }
    std::lock_guard<std::mutex> guard(logLock_);
    log_.push_back(target);
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server_.set_keep_alive_max_count(100);
  // As real servers do on kept-alive connections: without it each answer waits for a delayed ACK.
  server_.set_tcp_nodelay(true);
}

LoopbackServer::~LoopbackServer() { Stop(); }

bool LoopbackServer::Start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) return false;
  if (listenSocket_ >= 0) ::listen(listenSocket_, kListenQueue);  // a listening socket takes a new length
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  for (int i = 0; i < 200 && !server_.is_running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return server_.is_running();
}

void LoopbackServer::Stop() {
  if (thread_.joinable()) {
    server_.stop();
    thread_.join();
  }
}

std::string LoopbackServer::hostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::string LoopbackServer::origin() const { return "http://" + hostPort(); }

std::vector<std::string> LoopbackServer::requestLog() const {
  std::lock_guard<std::mutex> guard(logLock_);
  return log_;
}

size_t LoopbackServer::requestCount(const std::string& path) const {
  std::lock_guard<std::mutex> guard(logLock_);
  return static_cast<size_t>(std::count(log_.begin(), log_.end(), path));
}
