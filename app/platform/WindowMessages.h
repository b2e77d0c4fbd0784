#pragma once
#include <cstdint>

// Window handles and posted messages, without any GUI toolkit. A window (the Qt main
// window, a headless front end, a test) registers a sink and gets a handle; the engine
// posts numbered messages to the handle from any thread. Posting to a handle that is no
// longer registered fails safely, like posting to a destroyed window.

constexpr uint32_t WM_USER = 0x0400;

using WindowHandle = uint32_t;  // 0 is no window
constexpr WindowHandle kNoWindow = 0;

struct PostedMessage {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Receives posted messages. Post is called on the posting thread and must only queue the
// message for the window's own thread (it must not block on that thread).
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Post(const PostedMessage& msg) = 0;
};

// Registers a sink; the sink must outlive its registration.
WindowHandle RegisterWindow(MessageSink* sink);
// After this returns no Post to the handle's sink is running or will run.
void UnregisterWindow(WindowHandle handle);
// Queues the message for the window; false when the handle is not registered.
bool PostWindowMessage(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam);
