#include "common/Status.h"

#include <ostream>

const char* StatusCodeName(StatusCode code) {
  switch (code) {
    case StatusCode::kOk: return "Ok";
    case StatusCode::kFileOpen: return "FileOpen";
    case StatusCode::kEmpty: return "Empty";
    case StatusCode::kParse: return "Parse";
    case StatusCode::kBatchSize: return "BatchSize";
    case StatusCode::kRecordRead: return "RecordRead";
    case StatusCode::kNoBlankLine: return "NoBlankLine";
    case StatusCode::kMissing: return "Missing";
    case StatusCode::kNoMemory: return "NoMemory";
    case StatusCode::kDbOpen: return "DbOpen";
    case StatusCode::kDbWrite: return "DbWrite";
    case StatusCode::kDbRead: return "DbRead";
    case StatusCode::kNewerFormat: return "NewerFormat";
    case StatusCode::kNotOpen: return "NotOpen";
    case StatusCode::kNothingToStore: return "NothingToStore";
    case StatusCode::kStopped: return "Stopped";
    case StatusCode::kNoRoot: return "NoRoot";
    case StatusCode::kAttach: return "Attach";
    case StatusCode::kLockTimeout: return "LockTimeout";
    case StatusCode::kGeneral: return "General";
  }
  return "Unknown";
}

std::ostream& operator<<(std::ostream& out, StatusCode code) {
  return out << StatusCodeName(code) << " (" << static_cast<int32_t>(code) << ")";
}

Status::Status(StatusCode code, std::string_view message) noexcept : code_(code) {
  // A success carries no words, so an ok Status never holds text.
  if (code == StatusCode::kOk) return;
  try {
    message_.assign(message);
  } catch (...) {
    message_.clear();
  }
}

std::string Status::ToString() const {
  try {
    if (ok()) return "OK";
    std::string text = StatusCodeName(code_);
    text += " (" + std::to_string(Number()) + ")";
    if (!message_.empty()) text += ": " + message_;
    return text;
  } catch (...) {
    return std::string();
  }
}

std::ostream& operator<<(std::ostream& out, const Status& status) { return out << status.ToString(); }
