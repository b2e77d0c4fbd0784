#include "crawl/CThreadAutoSave.h"

#include "common/ResultCodes.h"

int32_t CThreadAutoSave::Start(Save save) {
  if (!save) return rc::kMissing;
  if (!StartThread(std::move(save))) return rc::kGeneral;
  SetState(1);
  return rc::kOk;
}

int32_t CThreadAutoSave::Stop() {
  SetState(2);
  return rc::kOk;
}
