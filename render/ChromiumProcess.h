#pragma once
#include <sys/types.h>

#include <mutex>
#include <string>
#include <vector>

#include "render/UniqueFd.h"

// How one browser is started.
struct ChromiumLaunch {
  std::string executable;
  std::string profileDir;
  std::string userAgent;  // empty: the browser's own
  // The one host name the browser may resolve (with and without "www."): the crawl's. Every
  // other name fails inside the browser, so that none of its own services is looked up.
  std::string siteHost;
  // The crawl's proxy ("http://host:port", "socks5://..."); empty: none. Its host resolves too.
  std::string proxy;
  std::string proxyHost;
  bool ignoreCertificateErrors = false;  // the crawl accepts any certificate
};

// One headless Chromium in a process group of its own, driven over --remote-debugging-pipe:
// it reads commands from its fd 3 and writes replies and events to its fd 4. At the end the
// whole group is killed and the browser reaped.
class ChromiumProcess {
 public:
  ChromiumProcess() = default;
  ~ChromiumProcess();
  ChromiumProcess(const ChromiumProcess&) = delete;
  ChromiumProcess& operator=(const ChromiumProcess&) = delete;

  // False when it could not be started.
  bool Start(const ChromiumLaunch& launch);

  // Our ends of the pipe: commands go to the first, replies come from the second.
  UniqueFd TakeCommandEnd() { return std::move(commands_); }
  UniqueFd TakeReplyEnd() { return std::move(replies_); }

  pid_t pid() const { return pid_; }
  // Whether the browser has ended (reaps it when it has; never waits).
  bool Exited();
  // Kills every process of the group and reaps the browser.
  void Kill();

  // The command line for the browser, without the executable.
  static std::vector<std::string> Arguments(const ChromiumLaunch& launch, bool asRoot);

 private:
  std::mutex lock_;  // guards the reaping of pid_
  pid_t pid_ = -1;
  bool reaped_ = false;
  UniqueFd commands_;
  UniqueFd replies_;
};
