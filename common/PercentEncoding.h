#pragma once
#include <optional>
#include <string>
#include <string_view>

// The program's one percent-encoder and decoder. Addresses are encoded as a browser's URL
// parser encodes them (the WHATWG URL Standard's percent-encode sets), with one deliberate
// difference: a "%" that does not begin a valid escape (%XX, two hexadecimal digits) is
// written %25, as wget does, so "operator%.html" is requested as "operator%25.html" and not
// refused by the server.

// Which bytes an encoding writes as %XX (bytes below 0x20, 0x7F and every byte from 0x80 up
// in all of them).
enum class PercentEncodeSet {
  kAddress,       // space: a whole address on its way into the URL parser or a file
  kPath,          // space " # < > ? ` { }
  kSpecialQuery,  // space " # < > ' (the query of an http or https address)
};

// text with every byte of the set written %XX (upper-case digits) and every "%" that begins
// no valid escape written %25. Valid escapes stay as they are, so encoding twice changes
// nothing.
std::string PercentEncode(std::string_view text, PercentEncodeSet set);

// The byte an escape at text[pos] ("%" and two hexadecimal digits) stands for; nullopt when
// no valid escape starts there.
std::optional<unsigned char> PercentEscapeAt(std::string_view text, size_t pos);
// "%" and the byte's two upper-case hexadecimal digits appended to out.
void AppendPercentEscape(std::string& out, unsigned char byte);
// Letters, digits and - . _ ~: bytes that mean the same escaped or not.
bool IsUnreservedByte(unsigned char byte);

// An address as a person reads it, for display only (files keep the encoded form): escapes
// that spell well-formed UTF-8 for a printable character from U+00A0 up are decoded, and so
// are escaped letters, digits and - . _ ~. Every other escape stays: ASCII delimiters and
// space (%2F, %3F, %23, %25, %26, %20, ... would change or hide the address's meaning),
// control characters, bytes that form no valid UTF-8, and invisible or direction-changing
// characters (U+200B to U+200F, U+202A to U+202E, U+2066 to U+2069, U+FEFF) that would let
// one address look like another.
std::string ReadableAddress(std::string_view address);
