#include "support/ServerRunner.h"

#include <sys/socket.h>

#include <chrono>

ServerRunner::ServerRunner(httplib::Server& server, size_t threads, size_t keepAliveRequests) : server_(server) {
  if (threads > 0) server_.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server_.set_keep_alive_max_count(keepAliveRequests);
  server_.set_tcp_nodelay(true);
  // The listening socket is kept so that Start can widen its queue.
  server_.set_socket_options([this](socket_t sock) {
    httplib::default_socket_options(sock);
    listenSocket_ = sock;
  });
}

ServerRunner::~ServerRunner() { Stop(); }

bool ServerRunner::Start(const std::string& address) {
  if (!server_.is_valid()) return false;
  port_ = server_.bind_to_any_port(address);
  if (port_ <= 0) return false;
  if (listenSocket_ >= 0) ::listen(listenSocket_, kListenQueue);  // a listening socket takes a new length
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  for (int i = 0; i < 200 && !server_.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return server_.is_running();
}

void ServerRunner::Stop() {
  if (thread_.joinable()) {
    server_.stop();
    thread_.join();
  }
}
