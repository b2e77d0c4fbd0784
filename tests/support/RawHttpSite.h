#pragma once
// A web site on 127.0.0.1 that writes its answers byte by byte, for the answers no ordinary
// server gives: header lines without end, a body without end, pages far beyond the client's
// limit made while they are sent. Every connection runs on a thread of its own and may carry
// one request after another (keep-alive) until the client closes it or the site stops.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class RawHttpSite {
 public:
  // The writing side of one connection, for a handler.
  class Connection {
   public:
    Connection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
    // Writes every byte; false once the client has gone or the site is stopping.
    bool Send(std::string_view bytes);
    bool stopping() const { return stopping_.load(); }

   private:
    int fd_;
    const std::atomic<bool>& stopping_;
  };

  // Writes the whole answer to one request (its target as sent); true when the connection may
  // carry the next request, false to close it.
  using Handler = std::function<bool(const std::string& target, Connection& out)>;

  RawHttpSite();
  ~RawHttpSite();
  RawHttpSite(const RawHttpSite&) = delete;
  RawHttpSite& operator=(const RawHttpSite&) = delete;

  // Answers for a path (the target up to "?"), or for every path that begins with prefix; the
  // exact path wins, then the longest prefix. Anything else is a 404 page. Set before Start.
  void Route(const std::string& path, Handler handler);
  void RoutePrefix(const std::string& prefix, Handler handler);

  // Binds a free port and starts accepting; false when no socket could be bound.
  bool Start();
  // Ends every connection (handlers see stopping() and Send fails) and joins the threads.
  void Stop();

  int port() const { return port_; }
  std::string origin() const;  // "http://127.0.0.1:PORT"
  // Every request target in order of arrival, logged before its answer.
  std::vector<std::string> targets() const;
  size_t count(const std::string& target) const;

  // Request heads longer than this end their connection unanswered.
  static constexpr size_t kMaxRequestHead = size_t(1) << 20;

 private:
  void AcceptLoop();
  void Serve(int fd);
  const Handler* Find(const std::string& path) const;

  std::map<std::string, Handler> exact_;
  std::map<std::string, Handler> prefixes_;
  std::atomic<bool> stopping_{false};
  int listenFd_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  mutable std::mutex lock_;  // guards connections_ and targets_
  std::vector<std::thread> connections_;
  std::vector<std::string> targets_;
};

// The bytes of a complete answer with a Content-Length; further header lines may be given
// whole ("Name: value"), without their line ends.
std::string HttpAnswer(int status, const std::string& contentType, const std::string& body,
                       const std::vector<std::string>& extraHeaders = {});
// A handler that sends that answer and keeps the connection.
RawHttpSite::Handler FixedAnswer(int status, const std::string& contentType, const std::string& body,
                                 const std::vector<std::string>& extraHeaders = {});
// A 200 text/html answer of exactly length body bytes, written in blocks that fill(offset,
// block) produces as they go, so no page of that size is ever held. Closes the connection
// when the client stops reading.
RawHttpSite::Handler GeneratedPage(size_t length, std::function<void(size_t offset, std::string& block)> fill);
