#include "support/StaticSite.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include <sys/socket.h>

bool MakeSelfSignedCertificate(const std::string& dir) {
  const std::string cmd = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
                          "-subj /CN=127.0.0.1 -keyout '" + dir + "/key.pem' -out '" + dir + "/cert.pem' >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

StaticSite::StaticSite(const std::string& certDir) : https_(!certDir.empty()) {
  if (https_) {
    if (MakeSelfSignedCertificate(certDir))
      server_ = std::make_unique<httplib::SSLServer>((certDir + "/cert.pem").c_str(), (certDir + "/key.pem").c_str());
  } else {
    server_ = std::make_unique<httplib::Server>();
  }
  if (!server_) return;
  server_->set_tcp_nodelay(true);  // no delayed-ACK wait on kept-alive connections
  server_->set_keep_alive_max_count(1000);  // as nginx keeps a connection
  server_->set_socket_options([this](int sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listenSocket_ = sock;
  });
  server_->Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
}

StaticSite::~StaticSite() {
  if (thread_.joinable()) {
    server_->stop();
    thread_.join();
  }
}

bool StaticSite::Start() {
  if (!server_ || !server_->is_valid()) return false;
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) return false;
  // The library listens with a queue of 5; a crawl opening 256 connections at once needs a
  // queue as long as real servers keep (listen may be called again to change it).
  if (listenSocket_ >= 0) listen(listenSocket_, 1024);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 200 && !server_->is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return server_->is_running();
}

void StaticSite::SetServerThreads(size_t count) {
  if (server_) server_->new_task_queue = [count] { return new httplib::ThreadPool(count); };
}

size_t StaticSite::connections() const {
  std::lock_guard<std::mutex> guard(lock_);
  return clientPorts_.size();
}

int StaticSite::mostAtOnce() const {
  std::lock_guard<std::mutex> guard(lock_);
  return mostAtOnce_;
}

void StaticSite::Set(const std::string& path, const Resource& resource) {
  std::lock_guard<std::mutex> guard(lock_);
  resources_[path] = resource;
}

std::string StaticSite::origin() const {
  return std::string(https_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> StaticSite::targets() const {
  std::lock_guard<std::mutex> guard(lock_);
  return targets_;
}

std::vector<std::chrono::steady_clock::time_point> StaticSite::arrivals() const {
  std::lock_guard<std::mutex> guard(lock_);
  return arrivals_;
}

std::vector<std::string> StaticSite::userAgents() const {
  std::lock_guard<std::mutex> guard(lock_);
  return userAgents_;
}

size_t StaticSite::count(const std::string& target) const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<size_t>(std::count(targets_.begin(), targets_.end(), target));
}

void StaticSite::Answer(const httplib::Request& req, httplib::Response& res) {
  Resource resource;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    targets_.push_back(req.target);
    arrivals_.push_back(std::chrono::steady_clock::now());
    userAgents_.push_back(req.get_header_value("User-Agent"));
    clientPorts_.insert(req.remote_port);
    mostAtOnce_ = std::max(mostAtOnce_, ++atOnce_);
    auto it = resources_.find(req.path);
    if (it != resources_.end()) {
      resource = it->second;
      found = true;
    }
  }
  if (found && resource.delay.count() > 0) std::this_thread::sleep_for(resource.delay);
  {
    std::lock_guard<std::mutex> guard(lock_);
    --atOnce_;
  }
  if (!found) {
    res.status = 404;
    res.set_content("<html><body>missing</body></html>", "text/html");
    return;
  }
  res.status = resource.status;
  if (!resource.location.empty()) res.set_header("Location", resource.location);
  for (const auto& [name, value] : resource.headers) res.set_header(name.c_str(), value);
  res.set_content(resource.body, resource.contentType.c_str());
}
