#pragma once
#include <cstdint>

// Outcome of an operation: 0 success, negative failure; positive values only where
// libcurl's own codes pass through.
namespace rc {
constexpr int32_t kOk = 0;
constexpr int32_t kFileOpen = -10;          // file cannot be opened
constexpr int32_t kEmpty = -70;             // empty input or nothing received
constexpr int32_t kParse = -80;             // no host, parser or archive failure, output full
constexpr int32_t kBatchSize = -90;         // batch size below 1
constexpr int32_t kRecordRead = -100;       // record cannot be read
constexpr int32_t kNoBlankLine = -105;      // no blank line in a response
constexpr int32_t kMissing = -110;          // missing object, not ready, or URL not held
constexpr int32_t kNoMemory = -220;
constexpr int32_t kDbOpen = -230;           // database cannot be opened or is closed
constexpr int32_t kDbWrite = -240;
constexpr int32_t kDbRead = -250;
constexpr int32_t kNewerFormat = -260;     // written by a newer version of the program
constexpr int32_t kNotOpen = -300;          // database not open, or no thread started
constexpr int32_t kNothingToStore = -310;
constexpr int32_t kStopped = -500;          // stopped by the user
constexpr int32_t kNoRoot = -700;           // document without root
constexpr int32_t kAttach = -720;           // element could not be attached
constexpr int32_t kLockTimeout = -800;      // lock not obtained in time
constexpr int32_t kGeneral = -10000;
}  // namespace rc
