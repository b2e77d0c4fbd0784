#include "support/StaticSite.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

bool MakeSelfSignedCertificate(const std::string& dir) {
  const std::string cmd = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
                          "-subj /CN=127.0.0.1 -keyout '" + dir + "/key.pem' -out '" + dir + "/cert.pem' >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

StaticSite::StaticSite(const std::string& certDir, size_t threads) : https_(!certDir.empty()) {
  if (https_) {
    if (MakeSelfSignedCertificate(certDir))
      server_ = std::make_unique<httplib::SSLServer>((certDir + "/cert.pem").c_str(), (certDir + "/key.pem").c_str());
  } else {
    server_ = std::make_unique<httplib::Server>();
  }
  if (!server_) return;
  runner_ = std::make_unique<ServerRunner>(*server_, threads, 1000);  // nginx keeps a connection for 1000
  server_->Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
}

StaticSite::~StaticSite() { runner_.reset(); }

bool StaticSite::Start() { return runner_ && runner_->Start(); }

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
  return std::string(https_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port());
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
