#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The program's one reader of decimal numbers (std::from_chars underneath). Every reader takes
// a maximum, so no text can overflow or smuggle in a value past what its caller can hold.

// Decimal digits only: no sign, no white space, nothing after them. nullopt for anything else
// and for a value above max.
std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t max);
// An optional "+" or "-", then decimal digits only, within [min, max].
std::optional<int64_t> ParseSignedDecimal(std::string_view text, int64_t min, int64_t max);
// The digits at the start of text, at most maxDigits of them: how many were read (0 when text
// does not start with a digit or the value is above max), value receiving them.
size_t ReadDecimalPrefix(std::string_view text, uint64_t max, uint64_t& value,
                         size_t maxDigits = std::string_view::npos);
// Decimal digits with an optional fraction ("12", "0.5", "3."): no sign, no exponent, at least
// one digit. A value above max reads as max (a wait given in a file is capped, not refused).
std::optional<double> ParseDecimalFraction(std::string_view text, double max);
