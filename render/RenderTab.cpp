#include "render/RenderTab.h"

#include <algorithm>

#include "render/Base64.h"
#include "render/RenderRequestRules.h"
#include "render/RenderScripts.h"

namespace {

using nlohmann::json;

// How long a page must stay without pending work before it counts as settled.
// Short, since every timer, request and body read still open is counted by the page itself.
constexpr std::chrono::milliseconds kQuiet{20};
// How soon a reader that answered from the wrong document is sent again.
constexpr std::chrono::milliseconds kReadAgain{5};
// How long the tab's own commands may take (opening, reading).
constexpr std::chrono::seconds kCommandTime{5};
constexpr std::chrono::seconds kReadAfterTimeout{1};

std::string WithoutFragment(const std::string& address) { return address.substr(0, address.find('#')); }

double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string StringAt(const json& object, const char* key) {
  auto it = object.find(key);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

std::unique_ptr<RenderTab> RenderTab::Open(DevToolsPipe& pipe, const RenderOptions& options) {
  const auto until = Clock::now() + kCommandTime;
  auto target = pipe.Call("Target.createTarget", {{"url", "about:blank"}}, "", until);
  if (!target) return nullptr;
  const std::string targetId = StringAt(*target, "targetId");
  auto attached = pipe.Call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, "", until);
  const std::string sessionId = attached ? StringAt(*attached, "sessionId") : std::string();
  if (targetId.empty() || sessionId.empty()) {
    if (!targetId.empty()) pipe.Send("Target.closeTarget", {{"targetId", targetId}}, "", nullptr);
    return nullptr;
  }
  std::unique_ptr<RenderTab> tab(new RenderTab(pipe, options, targetId, sessionId));
  if (!tab->Prepare()) return nullptr;
  return tab;
}

RenderTab::RenderTab(DevToolsPipe& pipe, const RenderOptions& options, std::string targetId, std::string sessionId)
    : pipe_(pipe),
      options_(options),
      targetId_(std::move(targetId)),
      sessionId_(std::move(sessionId)),
      events_(std::make_shared<DevToolsMailbox>()) {
  pipe_.Route(sessionId_, events_);
}

RenderTab::~RenderTab() {
  pipe_.Unroute(sessionId_);
  pipe_.Send("Target.closeTarget", {{"targetId", targetId_}}, "", nullptr);
}

bool RenderTab::Prepare() {
  const auto until = Clock::now() + kCommandTime;
  const json every = {{"patterns", json::array({{{"urlPattern", "*"}, {"requestStage", "Request"}}})}};
  const std::pair<const char*, json> steps[] = {
      {"Inspector.enable", json::object()},
      {"Page.enable", json::object()},
      {"Page.addScriptToEvaluateOnNewDocument", {{"source", SettleWatchScript(options_.timeoutMs)}}},
      {"Network.setBypassServiceWorker", {{"bypass", true}}},
      {"Fetch.enable", every},
  };
  for (const auto& [method, params] : steps)
    if (!pipe_.Call(method, params, sessionId_, until)) return false;
  return true;
}

int64_t RenderTab::Send(const std::string& method, const json& params, bool wantReply) {
  return pipe_.Send(method, params, sessionId_, wantReply ? events_ : nullptr);
}

void RenderTab::Fail(const std::string& requestId, const char* reason) {
  Send("Fetch.failRequest", {{"requestId", requestId}, {"errorReason", reason}}, false);
}

void RenderTab::DrainStale() {
  // What the last page did after its render ended: its requests are refused, its dialogs shut.
  while (auto message = events_->Take(Clock::now())) {
    const std::string method = StringAt(*message, "method");
    const json& params = message->value("params", json::object());
    if (method == "Fetch.requestPaused") Fail(StringAt(params, "requestId"), "Aborted");
    else if (method == "Page.javascriptDialogOpening") Send("Page.handleJavaScriptDialog", {{"accept", false}}, false);
    else if (method == "Inspector.targetCrashed" || method == "Inspector.detached" || method == "Veltro.targetGone")
      broken_ = true;
  }
  if (events_->closed()) broken_ = true;
}

RenderOutcome RenderTab::Render(const std::string& address, const std::string& headers, const std::string& body,
                                PageMarkup& markup) {
  markup = PageMarkup();
  const std::string origin = AddressOrigin(address);
  if (origin.rfind("http://", 0) != 0 && origin.rfind("https://", 0) != 0) return RenderOutcome::kNotRendered;
  DrainStale();
  if (broken_) return RenderOutcome::kTabCrashed;
  const std::string target = WithoutFragment(address);
  address_ = &target;
  headers_ = &headers;
  body_ = &body;

  Progress p;
  p.markup = &markup;
  const auto start = Clock::now();
  const auto deadline = start + std::chrono::milliseconds(std::max<int32_t>(options_.timeoutMs, 0));
  p.startedWallMs = WallMs();
  p.navigateId = Send("Page.navigate", {{"url", target}}, true);
  if (p.navigateId == 0) p.crashed = true;

  while (!p.crashed && !p.failed && !p.settled && !p.stopped) {
    const auto now = Clock::now();
    if (now >= deadline) break;
    if (options_.stopped && options_.stopped()) {
      p.stopped = true;
      break;
    }
    if (p.navigated && p.readerId == 0 && now >= p.nextRead) {
      p.readerId = Send("Runtime.evaluate",
                        {{"expression", SettledMarkupReader(static_cast<int32_t>(kQuiet.count()))},
                         {"awaitPromise", true}, {"returnByValue", true}},
                        true);
      if (p.readerId == 0) break;
    }
    auto wake = std::min(deadline, now + std::chrono::milliseconds(50));
    if (p.navigated && p.readerId == 0) wake = std::min(wake, std::max(p.nextRead, now + std::chrono::milliseconds(1)));
    auto message = events_->Take(wake);
    if (message) Handle(*message, p);
    else if (events_->closed()) p.crashed = true;
  }
  address_ = headers_ = body_ = nullptr;

  if (p.crashed) {
    broken_ = true;
    return RenderOutcome::kTabCrashed;
  }
  if (p.stopped || p.failed) {
    markup = PageMarkup();
    Send("Page.navigate", {{"url", "about:blank"}}, false);
    return RenderOutcome::kNotRendered;
  }
  if (p.settled) return RenderOutcome::kRendered;
  // Still busy: read it as it stands, then leave it so that it stops working.
  if (!ReadMarkup(markup, Clock::now() + kReadAfterTimeout)) broken_ = true;
  else Send("Page.navigate", {{"url", "about:blank"}}, false);
  return RenderOutcome::kTimedOut;
}

void RenderTab::Handle(const json& message, Progress& p) {
  auto id = message.find("id");
  if (id != message.end()) {
    const int64_t replyTo = id->is_number_integer() ? id->get<int64_t>() : -1;
    if (replyTo == p.navigateId) {
      p.navigated = true;
      const json& result = message.value("result", json::object());
      p.loaderId = StringAt(result, "loaderId");
      if (message.contains("error") || !StringAt(result, "errorText").empty() || p.loaderId.empty()) p.failed = true;
    } else if (replyTo == p.readerId) {
      p.readerId = 0;
      HandleReader(message, p);
    }
    return;
  }
  const std::string method = StringAt(message, "method");
  const json& params = message.value("params", json::object());
  if (method == "Fetch.requestPaused") {
    HandlePaused(params, p);
  } else if (method == "Page.javascriptDialogOpening") {
    Send("Page.handleJavaScriptDialog", {{"accept", false}}, false);
  } else if (method == "Inspector.targetCrashed" || method == "Inspector.detached" || method == "Veltro.targetGone") {
    p.crashed = true;
  }
}

void RenderTab::HandlePaused(const json& params, Progress& p) {
  const std::string requestId = StringAt(params, "requestId");
  const std::string type = StringAt(params, "resourceType");
  const json& request = params.value("request", json::object());
  const std::string url = StringAt(request, "url");
  if (type == "Document" && StringAt(params, "frameId") == targetId_) {
    if (p.documentAnswered) {
      // The page would leave itself (a script or a refresh): it stays, to be read.
      Fail(requestId, "BlockedByClient");
      return;
    }
    p.documentAnswered = true;
    Send("Fetch.fulfillRequest",
         {{"requestId", requestId}, {"responseCode", 200}, {"responseHeaders", FulfillHeaders(*headers_)},
          {"body", Base64Encode(*body_)}},
         false);
    return;
  }
  const bool allowed = options_.mayRequest ? options_.mayRequest(url) : AddressOrigin(url) == AddressOrigin(*address_);
  if (IsHeavyResourceType(type) || IsIconOrPrefetch(request.value("headers", json::object())) || !allowed) {
    Fail(requestId, "BlockedByClient");
    return;
  }
  if (options_.waitTurn && !options_.waitTurn()) {
    Fail(requestId, "Aborted");
    p.stopped = true;
    return;
  }
  Send("Fetch.continueRequest", {{"requestId", requestId}}, false);
}

void RenderTab::HandleReader(const json& reply, Progress& p) {
  // Asked again a little later unless this answer is the settled page's.
  p.nextRead = Clock::now() + kReadAgain;
  auto result = reply.find("result");
  if (result == reply.end() || result->contains("exceptionDetails") || !result->contains("result")) return;
  const json& remote = (*result)["result"];
  auto value = remote.find("value");
  if (value == remote.end() || !value->is_object()) return;
  // An answer from the document before ours (the navigation not yet committed) says nothing.
  auto origin = value->find("origin");
  if (origin == value->end() || !origin->is_number() || origin->get<double>() < p.startedWallMs - 1) return;
  if (!p.documentAnswered) return;
  if (MarkupFromReader(*value, *p.markup)) p.settled = true;
}

bool RenderTab::ReadMarkup(PageMarkup& markup, Clock::time_point until) {
  auto result = pipe_.Call("Runtime.evaluate", {{"expression", MarkupReader()}, {"returnByValue", true}}, sessionId_, until);
  if (!result || result->contains("exceptionDetails") || !result->contains("result")) return false;
  const json& remote = (*result)["result"];
  auto value = remote.find("value");
  return value != remote.end() && MarkupFromReader(*value, markup);
}
