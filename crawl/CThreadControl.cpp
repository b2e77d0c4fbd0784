#include "crawl/CThreadControl.h"

#include <thread>


CThreadControl::~CThreadControl() = default;

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
