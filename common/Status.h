#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

// The named outcomes of the store, the journal, file writing and the settings. Each value is
// the number that is written to files, shown and returned as an exit status, so a value never
// changes once given.
enum class StatusCode : int32_t {
  kOk = 0,
  kFileOpen = -10,          // file cannot be opened
  kEmpty = -70,             // empty input or nothing received
  kParse = -80,             // no host, parser or archive failure, output full
  kBatchSize = -90,         // batch size below 1
  kRecordRead = -100,       // record cannot be read
  kNoBlankLine = -105,      // no blank line in a response
  kMissing = -110,          // missing object, not ready, or URL not held
  kNoMemory = -220,
  kDbOpen = -230,           // database cannot be opened or is closed
  kDbWrite = -240,
  kDbRead = -250,
  kNewerFormat = -260,      // written by a newer version of the program
  kNotOpen = -300,          // database not open, or no thread started
  kNothingToStore = -310,
  kStopped = -500,          // stopped by the user
  kNoRoot = -700,           // document without root
  kAttach = -720,           // element could not be attached
  kLockTimeout = -800,      // lock not obtained in time
  kGeneral = -10000,
};

// The code's name without its "k" ("DbOpen"), for logs; "Unknown" for a number no name has.
const char* StatusCodeName(StatusCode code);
std::ostream& operator<<(std::ostream& out, StatusCode code);

// The outcome of one operation: a code and, for a failure, why in the words of whatever
// failed ("IO error: db/x/LOCK: Permission denied"). An ok Status holds no text and costs no
// allocation. No call throws: a message that cannot be kept is dropped, the code stays.
class Status {
 public:
  Status() noexcept = default;
  // Implicit, so an operation can `return StatusCode::kDbOpen;`.
  Status(StatusCode code) noexcept : code_(code) {}  // NOLINT(google-explicit-constructor)
  Status(StatusCode code, std::string_view message) noexcept;

  bool ok() const noexcept { return code_ == StatusCode::kOk; }
  StatusCode code() const noexcept { return code_; }
  // Empty when the failure came without words.
  const std::string& message() const noexcept { return message_; }
  // The code's number, where it is stored or shown.
  int32_t Number() const noexcept { return static_cast<int32_t>(code_); }
  // One line for logs: "OK", or the name, the number and the message ("DbOpen (-230): ...").
  std::string ToString() const;

  friend bool operator==(const Status& status, StatusCode code) noexcept { return status.code_ == code; }

 private:
  StatusCode code_ = StatusCode::kOk;
  std::string message_;
};

std::ostream& operator<<(std::ostream& out, const Status& status);
