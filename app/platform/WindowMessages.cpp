#include "app/platform/WindowMessages.h"

#include <mutex>
#include <unordered_map>

namespace {

struct Registry {
  std::mutex lock;  // held while a sink is looked up and posted to
  std::unordered_map<WindowHandle, MessageSink*> sinks;
  WindowHandle next = 1;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

WindowHandle RegisterWindow(MessageSink* sink) {
  if (!sink) return kNoWindow;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  WindowHandle h = r.next++;
  if (r.next == kNoWindow) r.next = 1;
  r.sinks[h] = sink;
  return h;
}

void UnregisterWindow(WindowHandle handle) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.sinks.erase(handle);
}

bool PostWindowMessage(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.sinks.find(handle);
  if (it == r.sinks.end()) return false;
  it->second->Post(PostedMessage{message, wParam, lParam});
  return true;
}
