#pragma once
#include <cstdint>

#include "common/Status.h"

// Outcome numbers where a plain integer still travels: 0 success, negative failure; positive
// values only where libcurl's own codes pass through. Each is its StatusCode's number, so the
// two never disagree.
namespace rc {
constexpr int32_t Of(StatusCode code) { return static_cast<int32_t>(code); }
constexpr int32_t kOk = Of(StatusCode::kOk);
constexpr int32_t kFileOpen = Of(StatusCode::kFileOpen);
constexpr int32_t kEmpty = Of(StatusCode::kEmpty);
constexpr int32_t kParse = Of(StatusCode::kParse);
constexpr int32_t kBatchSize = Of(StatusCode::kBatchSize);
constexpr int32_t kRecordRead = Of(StatusCode::kRecordRead);
constexpr int32_t kNoBlankLine = Of(StatusCode::kNoBlankLine);
constexpr int32_t kMissing = Of(StatusCode::kMissing);
constexpr int32_t kNoMemory = Of(StatusCode::kNoMemory);
constexpr int32_t kDbOpen = Of(StatusCode::kDbOpen);
constexpr int32_t kDbWrite = Of(StatusCode::kDbWrite);
constexpr int32_t kDbRead = Of(StatusCode::kDbRead);
constexpr int32_t kNewerFormat = Of(StatusCode::kNewerFormat);
constexpr int32_t kNotOpen = Of(StatusCode::kNotOpen);
constexpr int32_t kNothingToStore = Of(StatusCode::kNothingToStore);
constexpr int32_t kStopped = Of(StatusCode::kStopped);
constexpr int32_t kNoRoot = Of(StatusCode::kNoRoot);
constexpr int32_t kAttach = Of(StatusCode::kAttach);
constexpr int32_t kLockTimeout = Of(StatusCode::kLockTimeout);
constexpr int32_t kGeneral = Of(StatusCode::kGeneral);
}  // namespace rc
