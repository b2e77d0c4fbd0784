#pragma once
#include <cstddef>
#include <functional>

// Runs work on a thread of its own with the given stack size and waits for it. False when no
// such thread could be started (work did not run).
bool RunOnLargeStack(size_t stackBytes, const std::function<void()>& work);
