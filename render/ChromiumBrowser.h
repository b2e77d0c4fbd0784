#pragma once
#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "render/ChromiumProcess.h"
#include "render/DevToolsPipe.h"
#include "render/PageRenderer.h"
#include "render/ProfileFolder.h"
#include "render/RenderTab.h"

// One running browser with its throwaway profile and its pool of tabs: at most `tabs` open,
// each lent to one render at a time and kept for the next, a broken one closed and replaced.
class ChromiumBrowser {
 public:
  // Null when the browser could not be started or did not answer. siteHost: the one host name
  // it may resolve.
  static std::unique_ptr<ChromiumBrowser> Start(const RenderOptions& options, const std::string& siteHost);
  ~ChromiumBrowser();
  ChromiumBrowser(const ChromiumBrowser&) = delete;
  ChromiumBrowser& operator=(const ChromiumBrowser&) = delete;

  // A tab for one render, waiting while all are lent; null when the browser is gone, no tab
  // could be opened, or stopped says so.
  RenderTab* Acquire(const std::function<bool()>& stopped);
  void Release(RenderTab* tab);

  bool Alive();
  pid_t pid() const { return process_.pid(); }
  const std::string& profile() const { return profile_.path(); }

 private:
  explicit ChromiumBrowser(const RenderOptions& options);
  bool Launch(const std::string& siteHost);
  void OnBrowserEvent(const nlohmann::json& event);

  const RenderOptions& options_;
  const size_t tabLimit_;
  ProfileFolder profile_;
  ChromiumProcess process_;
  std::unique_ptr<DevToolsPipe> pipe_;
  std::mutex lock_;  // guards the tab lists
  std::condition_variable freed_;
  std::vector<std::unique_ptr<RenderTab>> tabs_;  // every open tab
  std::vector<RenderTab*> idle_;
  size_t opening_ = 0;
};
