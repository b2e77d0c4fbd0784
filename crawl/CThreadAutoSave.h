#pragma once
#include <cstdint>
#include <functional>

#include "crawl/CThreadControl.h"

// The auto-save thread controller; the procedure itself lives with the sitemap output.
class CThreadAutoSave : public CThreadControl {
 public:
  using Save = std::function<void()>;
  // Runs save on a new thread, state 1; 0 (-110 without one, -10000 when no thread could be made).
  int32_t Start(Save save);
  // Only state 2: neither signals nor waits for the thread.
  int32_t Stop() override;
};
