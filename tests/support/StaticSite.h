#pragma once
#include <httplib.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "support/ServerRunner.h"

// One answer of a StaticSite.
struct Resource {
  Resource() = default;
  Resource(int status_, std::string contentType_, std::string body_, std::string location_ = "")
      : status(status_), contentType(std::move(contentType_)), body(std::move(body_)), location(std::move(location_)) {}

  int status = 200;
  std::string contentType = "text/html";
  std::string body;
  std::string location;  // sent as Location when not empty
  std::map<std::string, std::string> headers;  // further header fields
  std::chrono::milliseconds delay{0};          // how long the answer takes
};

// A web site of fixed answers on 127.0.0.1 at a free port, over HTTP or over HTTPS with a
// self-signed certificate. Answers are looked up by the decoded path; every request target is
// logged exactly as the client sent it, before the answer goes out.
class StaticSite {
 public:
  // certDir: where the certificate is made; empty for plain HTTP.
  // threads: requests answered at once (cpp-httplib's default is 8).
  explicit StaticSite(const std::string& certDir = "", size_t threads = 0);
  ~StaticSite();
  StaticSite(const StaticSite&) = delete;
  StaticSite& operator=(const StaticSite&) = delete;

  // Binds and starts; false when no port could be bound or no certificate made. Call Set
  // before or after: answers can change while the site runs.
  bool Start();
  void Set(const std::string& path, const Resource& resource);
  // "http://127.0.0.1:PORT" or "https://..."
  std::string origin() const;
  int port() const { return runner_ ? runner_->port() : 0; }

  std::vector<std::string> targets() const;
  size_t count(const std::string& target) const;
  // When each request arrived, and the User-Agent it sent, in the order of targets().
  std::vector<std::chrono::steady_clock::time_point> arrivals() const;
  std::vector<std::string> userAgents() const;
  // Connections the requests came on (distinct client ports), and the most answers that
  // were being prepared at the same time.
  size_t connections() const;
  int mostAtOnce() const;

 private:
  void Answer(const httplib::Request& req, httplib::Response& res);

  bool https_ = false;
  std::unique_ptr<httplib::Server> server_;
  std::unique_ptr<ServerRunner> runner_;
  mutable std::mutex lock_;
  std::map<std::string, Resource> resources_;
  std::vector<std::string> targets_;
  std::vector<std::chrono::steady_clock::time_point> arrivals_;
  std::vector<std::string> userAgents_;
  std::set<int> clientPorts_;
  int atOnce_ = 0;
  int mostAtOnce_ = 0;
};

// A self-signed certificate and key for 127.0.0.1 in dir (cert.pem, key.pem); false when
// openssl could not make them.
bool MakeSelfSignedCertificate(const std::string& dir);
