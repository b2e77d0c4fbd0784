#pragma once
#include <cstdint>
#include <optional>
#include <string>

// What became of fetching one page: the site's HTTP status, a transfer libcurl ended with its
// code, or one of the program's own codes (negative). The engine keeps this value and turns it
// into its stored text ("200", "curl 7", "-70") only where it is written or shown.
class PageOutcome {
 public:
  enum class Kind : uint8_t { Status, Transfer, Own };

  // An answer without a status line: its text is empty.
  PageOutcome() = default;
  // A three-digit status.
  static PageOutcome Status(int32_t status);
  // The status field's text as the header block gives it ("404"); anything but three digits
  // is an answer without a status.
  static PageOutcome OfStatusText(const std::string& status);
  // A fetch the client ended without an answer: libcurl's code (positive) or the client's own
  // (negative). 0, a transfer that worked, is an answer without a status.
  static PageOutcome OfFetchResult(int32_t result);
  // A stored text read back; nullopt for a text no outcome writes.
  static std::optional<PageOutcome> FromText(const std::string& text);

  Kind kind() const { return kind_; }
  int32_t value() const { return value_; }
  bool ok() const { return kind_ == Kind::Status && value_ == 200; }
  bool IsRedirect() const { return kind_ == Kind::Status && value_ >= 300 && value_ <= 399; }
  // "200", "curl 7", "-70"; empty for an answer without a status.
  std::string Text() const;

  bool operator==(const PageOutcome&) const = default;

 private:
  PageOutcome(Kind kind, int32_t value) : kind_(kind), value_(value) {}

  Kind kind_ = Kind::Status;
  int32_t value_ = 0;  // 0 with Status: no status line
};
