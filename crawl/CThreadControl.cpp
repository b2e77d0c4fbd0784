#include "crawl/CThreadControl.h"

#include <thread>

#include "common/ResultCodes.h"

CThreadControl::~CThreadControl() = default;

int32_t CThreadControl::Suspend() {
  if (!CurrentThread()) return rc::kNotOpen;
  // A POSIX thread cannot be suspended from outside; running or not, the call fails.
  return rc::kGeneral;
}

int32_t CThreadControl::Resume() {
  if (!CurrentThread()) return rc::kNotOpen;
  return rc::kGeneral;
}

bool CThreadControl::HasThread() const { return CurrentThread() != nullptr; }

bool CThreadControl::WaitFinished(std::chrono::milliseconds timeout) const {
  std::shared_ptr<ThreadRecord> record = CurrentThread();
  return !record || record->WaitFinished(timeout);
}

bool CThreadControl::StartThread(std::function<void()> body) {
  auto record = std::make_shared<ThreadRecord>();
  try {
    std::thread thread([record, body = std::move(body)]() {
      try {
        body();
      } catch (...) {
        // Nothing may leave a thread body.
      }
      record->MarkFinished();
    });
    record->SetNativeHandle(thread.native_handle());
    thread.detach();
  } catch (...) {
    return false;
  }
  std::lock_guard<std::mutex> guard(threadLock_);
  thread_ = record;
  return true;
}

std::shared_ptr<ThreadRecord> CThreadControl::CurrentThread() const {
  std::lock_guard<std::mutex> guard(threadLock_);
  return thread_;
}
