#include "crawl/CThreadAutoSave.h"

#include "common/ResultCodes.h"

CThreadAutoSave::CThreadAutoSave(ThreadProc proc) : proc_(proc) {}

int32_t CThreadAutoSave::Start(void* param) {
  if (!proc_) return rc::kMissing;
  ThreadProc proc = proc_;
  if (!StartThread([proc, param]() { proc(param); })) return rc::kGeneral;
  SetState(1);
  return rc::kOk;
}

int32_t CThreadAutoSave::Stop() {
  SetState(2);
  return rc::kOk;
}
