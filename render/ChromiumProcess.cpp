#include "render/ChromiumProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

// The pipe ends are moved above the low numbers, so that placing them at 3 and 4 in the child
// never overwrites one with the other.
bool MoveHigh(UniqueFd& fd) {
  const int high = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 10);
  if (high < 0) return false;
  fd.Reset(high);
  return true;
}

class SpawnActions {
 public:
  SpawnActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
  ~SpawnActions() {
    if (ok_) posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }
  bool ok() const { return ok_; }

 private:
  posix_spawn_file_actions_t actions_;
  bool ok_ = false;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { ok_ = posix_spawnattr_init(&attributes_) == 0; }
  ~SpawnAttributes() {
    if (ok_) posix_spawnattr_destroy(&attributes_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  posix_spawnattr_t* get() { return &attributes_; }
  bool ok() const { return ok_; }

 private:
  posix_spawnattr_t attributes_;
  bool ok_ = false;
};

// Whether a process of the group is still running (not a zombie), read from /proc.
bool GroupHasLiveMember(pid_t group) {
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  bool live = false;
  while (dirent* entry = ::readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    char path[sizeof(entry->d_name) + 16];
    std::snprintf(path, sizeof path, "/proc/%s/stat", entry->d_name);
    FILE* file = std::fopen(path, "re");
    if (!file) continue;
    char text[512];
    const size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[n] = '\0';
    // "pid (comm) state ppid pgrp ...": comm may hold anything, so read after its last ')'.
    const char* close = std::strrchr(text, ')');
    char state = 0;
    int ppid = 0, pgrp = 0;
    if (close && std::sscanf(close + 1, " %c %d %d", &state, &ppid, &pgrp) == 3 && pgrp == group && state != 'Z' &&
        state != 'X') {
      live = true;
      break;
    }
  }
  ::closedir(proc);
  return live;
}

}  // namespace

ChromiumProcess::~ChromiumProcess() { Kill(); }

std::vector<std::string> ChromiumProcess::Arguments(const ChromiumLaunch& launch, bool asRoot) {
  std::vector<std::string> args = {
      "--headless", "--remote-debugging-pipe", "--user-data-dir=" + launch.profileDir,
      // Nothing may leave the browser but the page's own requests, which pass our checks.
      "--disable-gpu", "--disable-quic", "--no-first-run", "--no-default-browser-check",
      "--disable-background-networking", "--disable-component-update", "--disable-sync", "--disable-extensions",
      "--disable-default-apps", "--disable-domain-reliability", "--disable-client-side-phishing-detection",
      "--disable-breakpad", "--no-pings", "--dns-prefetch-disable", "--mute-audio", "--password-store=basic",
      "--use-mock-keychain", "--metrics-recording-only",
      "--disable-features=Translate,OptimizationHints,MediaRouter,InterestFeedContentSuggestions,"
      "AutofillServerCommunication,CertificateTransparencyComponentUpdater,NetworkPrediction,Prerender2,"
      "SpeculationRulesPrefetchFuture",
      // Every tab renders while it is not the front one: no throttled timers in the others.
      "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
      "--disable-backgrounding-occluded-windows", "--blink-settings=imagesEnabled=false"};
  if (!launch.userAgent.empty()) args.push_back("--user-agent=" + launch.userAgent);
  // Even with the flags above it looks up its sign-in, update and search hosts.
  std::string rules = "MAP * ~NOTFOUND";
  if (!launch.siteHost.empty()) {
    std::string bare = launch.siteHost;
    if (bare.rfind("www.", 0) == 0) bare.erase(0, 4);
    rules += ", EXCLUDE " + bare + ", EXCLUDE www." + bare;
  }
  if (!launch.proxyHost.empty()) rules += ", EXCLUDE " + launch.proxyHost;
  args.push_back("--host-resolver-rules=" + rules);
  if (!launch.proxy.empty()) {
    // Chromium knows no socks5h: its socks5 already leaves the names to the proxy.
    std::string proxy = launch.proxy;
    if (proxy.rfind("socks5h://", 0) == 0) proxy.replace(0, 7, "socks5");
    args.push_back("--proxy-server=" + proxy);
  }
  if (launch.ignoreCertificateErrors) args.push_back("--ignore-certificate-errors");
  // The sandbox cannot run as root; anyone else keeps it.
  if (asRoot) args.push_back("--no-sandbox");
  return args;
}

bool ChromiumProcess::Start(const ChromiumLaunch& launch) {
  UniqueFd childReads, childWrites;
  if (!MakePipe(childReads, commands_) || !MakePipe(replies_, childWrites)) return false;
  if (!MoveHigh(childReads) || !MoveHigh(childWrites)) return false;

  SpawnActions actions;
  SpawnAttributes attributes;
  if (!actions.ok() || !attributes.ok()) return false;
  // dup2 clears close-on-exec on the copies at 3 and 4; closefrom drops everything else.
  if (posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
      posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/null", O_WRONLY, 0) != 0 ||
      posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0) != 0 ||
      posix_spawn_file_actions_adddup2(actions.get(), childReads.get(), 3) != 0 ||
      posix_spawn_file_actions_adddup2(actions.get(), childWrites.get(), 4) != 0 ||
      posix_spawn_file_actions_addclosefrom_np(actions.get(), 5) != 0)
    return false;
  // A group of its own, so that its helpers end with it; default signal handling in the child.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setpgroup(attributes.get(), 0);
  posix_spawnattr_setsigmask(attributes.get(), &none);
  posix_spawnattr_setsigdefault(attributes.get(), &all);
  posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> args = Arguments(launch, ::geteuid() == 0);
  args.insert(args.begin(), launch.executable);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = -1;
  if (posix_spawn(&pid, launch.executable.c_str(), actions.get(), attributes.get(), argv.data(), environ) != 0) return false;
  std::lock_guard<std::mutex> guard(lock_);
  pid_ = pid;
  reaped_ = false;
  return true;
}

bool ChromiumProcess::Exited() {
  std::lock_guard<std::mutex> guard(lock_);
  if (pid_ <= 0 || reaped_) return true;
  int status = 0;
  const pid_t r = ::waitpid(pid_, &status, WNOHANG);
  if (r == pid_ || (r < 0 && errno == ECHILD)) reaped_ = true;
  return reaped_;
}

void ChromiumProcess::Kill() {
  std::lock_guard<std::mutex> guard(lock_);
  if (pid_ <= 0) return;
  // The group id is the browser's pid; its helpers stay in it, even after the browser is gone.
  // (A group with no live member left is not signalled: its number may be another's now.)
  if (!reaped_ || GroupHasLiveMember(pid_)) ::kill(-pid_, SIGKILL);
  if (!reaped_) {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
  }
  // The helpers go away as the kernel gets to them; wait a little so the profile is free.
  // Their zombies may stay (nobody reaps them in a container), so only live ones count.
  for (int i = 0; i < 200 && GroupHasLiveMember(pid_); ++i) {
    ::kill(-pid_, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
}
