#pragma once
#include <cstdint>

#include "crawl/CThreadControl.h"

// The auto-save thread controller; the procedure itself lives with the sitemap output.
class CThreadAutoSave : public CThreadControl {
 public:
  using ThreadProc = int32_t (*)(void* param);
  explicit CThreadAutoSave(ThreadProc proc);
  // Runs proc(param) on a new thread, state 1; 0 (-110 without a procedure, -10000 when no
  // thread could be made).
  int32_t Start(void* param) override;
  // Only state 2: neither signals nor waits for the thread.
  int32_t Stop() override;

 private:
  ThreadProc proc_;
};
