#include "support/ServerRunner.h"

#include <sys/socket.h>

#include <chrono>
#include <mutex>

namespace {

// cpp-httplib builds its table of request methods the first time any of its servers reads a
// request line (a function-local static). The library is not instrumented, so
// ThreadSanitizer does not see the guard that orders the table's making before another
// worker's first look at it, and takes two workers of a test server for a race. One request
// answered before the first test server starts has the table made; the answer's write to
// its socket orders that before any later read of a request, as the sanitizer sees it too.
void MakeLibraryTablesOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    httplib::Server server;
    server.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) return;
    std::thread thread([&server] { server.listen_after_bind(); });
    for (int i = 0; i < 200 && !server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (server.is_running()) httplib::Client("127.0.0.1", port).Get("/");
    // The thread may still be on its way into its loop; stop() only ends a running one.
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server.stop();
    thread.join();
  });
}

}  // namespace

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
  MakeLibraryTablesOnce();
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
