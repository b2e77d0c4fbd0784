#pragma once
#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <string>

#include "render/DevToolsMailbox.h"
#include "render/DevToolsPipe.h"
#include "render/PageRenderer.h"

// One tab of the browser, attached as a flattened session, rendering one page at a time. A tab
// is kept for the next page; one that crashed, hung or lost its browser is broken and must be
// closed.
class RenderTab {
 public:
  // Opens a blank tab ready to render; null when the browser did not answer.
  static std::unique_ptr<RenderTab> Open(DevToolsPipe& pipe, const RenderOptions& options);
  ~RenderTab();
  RenderTab(const RenderTab&) = delete;
  RenderTab& operator=(const RenderTab&) = delete;

  RenderOutcome Render(const std::string& address, const std::string& headers, const std::string& body,
                       PageMarkup& markup);

  bool broken() const { return broken_; }
  const std::string& targetId() const { return targetId_; }
  const std::string& sessionId() const { return sessionId_; }
  // Tells the tab its target crashed or went away (browser events arrive outside its session).
  void Gone() { events_->Post({{"method", "Veltro.targetGone"}}); }
  // Marks the tab to be replaced, from the thread that renders in it (a render that failed
  // half-way leaves it in no known state).
  void Abandon() { broken_ = true; }

 private:
  using Clock = std::chrono::steady_clock;

  // What one render has seen so far.
  struct Progress {
    int64_t navigateId = 0;
    bool navigated = false;     // the navigation's reply came
    bool documentAnswered = false;
    std::string loaderId;
    double startedWallMs = 0;   // the page's timeOrigin is later than this
    int64_t readerId = 0;       // the reader waiting for the page to settle
    Clock::time_point nextRead;
    PageMarkup* markup = nullptr;
    bool settled = false;
    bool failed = false;   // the navigation failed
    bool crashed = false;
    bool stopped = false;
  };

  RenderTab(DevToolsPipe& pipe, const RenderOptions& options, std::string targetId, std::string sessionId);
  bool Prepare();
  void DrainStale();
  void Handle(const nlohmann::json& message, Progress& progress);
  void HandlePaused(const nlohmann::json& params, Progress& progress);
  void HandleReader(const nlohmann::json& reply, Progress& progress);
  bool ReadMarkup(PageMarkup& markup, Clock::time_point until);
  void Fail(const std::string& requestId, const char* reason);
  int64_t Send(const std::string& method, const nlohmann::json& params, bool wantReply);

  DevToolsPipe& pipe_;
  const RenderOptions& options_;
  std::string targetId_;
  std::string sessionId_;
  std::shared_ptr<DevToolsMailbox> events_;
  // The page being rendered.
  const std::string* address_ = nullptr;
  const std::string* headers_ = nullptr;
  const std::string* body_ = nullptr;
  bool broken_ = false;
};
