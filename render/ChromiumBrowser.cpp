#include "render/ChromiumBrowser.h"

#include <algorithm>
#include <chrono>

namespace {
constexpr std::chrono::seconds kStartTime{15};
}

ChromiumBrowser::ChromiumBrowser(const RenderOptions& options)
    : options_(options), tabLimit_(std::clamp<size_t>(options.tabs, 1, PageRenderer::kMaxTabs)) {}

ChromiumBrowser::~ChromiumBrowser() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    idle_.clear();
    tabs_.clear();
  }
  pipe_.reset();
  process_.Kill();
}

std::unique_ptr<ChromiumBrowser> ChromiumBrowser::Start(const RenderOptions& options, const std::string& siteHost) {
  std::unique_ptr<ChromiumBrowser> browser(new ChromiumBrowser(options));
  if (!browser->Launch(siteHost)) return nullptr;
  return browser;
}

bool ChromiumBrowser::Launch(const std::string& siteHost) {
  if (profile_.path().empty()) return false;
  if (!process_.Start({options_.executable, profile_.path(), options_.userAgent, siteHost, options_.proxy,
                       options_.proxyHost, options_.ignoreCertificateErrors}))
    return false;
  pipe_ = std::make_unique<DevToolsPipe>(process_.TakeCommandEnd(), process_.TakeReplyEnd(),
                                         [this](const nlohmann::json& event) { OnBrowserEvent(event); });
  // The first answer tells that the browser is up; discovery brings crashes and popups.
  return pipe_->Call("Target.setDiscoverTargets", {{"discover", true}}, "",
                     std::chrono::steady_clock::now() + kStartTime)
      .has_value();
}

bool ChromiumBrowser::Alive() { return pipe_ && !pipe_->ended() && !process_.Exited(); }

void ChromiumBrowser::OnBrowserEvent(const nlohmann::json& event) {
  const std::string method = event.value("method", "");
  const nlohmann::json& params = event.value("params", nlohmann::json::object());
  if (method == "Target.targetCreated") {
    // A popup would load where no request is checked: it is closed at once.
    const nlohmann::json& info = params.value("targetInfo", nlohmann::json::object());
    if (info.value("type", "") == "page" && !info.value("openerId", "").empty())
      pipe_->Send("Target.closeTarget", {{"targetId", info.value("targetId", "")}}, "", nullptr);
    return;
  }
  std::string targetId, sessionId;
  if (method == "Target.targetCrashed" || method == "Target.targetDestroyed") targetId = params.value("targetId", "");
  else if (method == "Target.detachedFromTarget") sessionId = params.value("sessionId", "");
  else return;
  std::lock_guard<std::mutex> guard(lock_);
  for (auto& tab : tabs_)
    if ((!targetId.empty() && tab->targetId() == targetId) || (!sessionId.empty() && tab->sessionId() == sessionId))
      tab->Gone();
}

RenderTab* ChromiumBrowser::Acquire(const std::function<bool()>& stopped) {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    if (!pipe_ || pipe_->ended() || (stopped && stopped())) return nullptr;
    if (!idle_.empty()) {
      RenderTab* tab = idle_.back();
      idle_.pop_back();
      return tab;
    }
    if (tabs_.size() + opening_ < tabLimit_) break;
    freed_.wait_for(guard, std::chrono::milliseconds(50));
  }
  // Opened outside the lock: its replies pass through the reader, which takes the lock for
  // browser events.
  ++opening_;
  guard.unlock();
  std::unique_ptr<RenderTab> tab = RenderTab::Open(*pipe_, options_);
  guard.lock();
  --opening_;
  freed_.notify_one();
  if (!tab) return nullptr;
  tabs_.push_back(std::move(tab));
  return tabs_.back().get();
}

void ChromiumBrowser::Release(RenderTab* tab) {
  std::unique_ptr<RenderTab> closing;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (tab->broken()) {
      auto it = std::find_if(tabs_.begin(), tabs_.end(), [&](const auto& t) { return t.get() == tab; });
      if (it != tabs_.end()) {
        closing = std::move(*it);
        tabs_.erase(it);
      }
    } else {
      idle_.push_back(tab);
    }
  }
  freed_.notify_one();
}
