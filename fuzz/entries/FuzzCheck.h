#pragma once
#include <string>
#include <string_view>

// Reports a broken invariant on stderr, with the text it concerns, and aborts: the fuzzer
// keeps the input as a crash, the replay test fails.
[[noreturn]] void FuzzFail(const char* what, std::string_view detail = {});

inline void FuzzCheck(bool ok, const char* what, std::string_view detail = {}) {
  if (!ok) FuzzFail(what, detail);
}

// The bytes of text with everything but printable ASCII written as \xHH, for reports.
std::string Printable(std::string_view text);
