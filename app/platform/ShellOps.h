#pragma once
// Opening an address (web page or local file URL) with the system's default action, and the
// cursor operations of the windows. Under test the open can be recorded by a hook.
#include <QString>
#include <functional>

// true when the address was handed to the system (or to the hook). whenFailed runs, on the
// calling thread, when nothing could open it: at once, or later when xdg-open gives up (with
// no browser installed it fails only after it has started).
bool OpenAddress(const QString& address, std::function<void()> whenFailed = {});
void SetOpenAddressHook(std::function<void(const QString& address)> hook);

// Wait cursor: ShowWaitCursor remembers the cursor in use and shows the wait cursor;
// RestoreCursor puts back what was there before. Both are idempotent.
void ShowWaitCursor();
void RestoreCursor();
bool IsWaitCursorShown();
