#include "support/LoopbackServer.h"

#include <algorithm>

LoopbackServer::LoopbackServer(size_t threads) : runner_(server_, threads, 100) {
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
}

LoopbackServer::~LoopbackServer() { Stop(); }

bool LoopbackServer::Start(const std::string& address) {
  address_ = address;
  return runner_.Start(address);
}

void LoopbackServer::Stop() { runner_.Stop(); }

std::string LoopbackServer::hostPort() const {
  const bool ipv6 = address_.find(':') != std::string::npos;
  return (ipv6 ? "[" + address_ + "]" : address_) + ":" + std::to_string(port());
}

std::string LoopbackServer::origin() const { return "http://" + hostPort(); }

std::vector<std::string> LoopbackServer::requestLog() const {
  std::lock_guard<std::mutex> guard(logLock_);
  return log_;
}

size_t LoopbackServer::requestCount(const std::string& path) const {
  std::lock_guard<std::mutex> guard(logLock_);
  return static_cast<size_t>(std::count(log_.begin(), log_.end(), path));
}
