#pragma once
// The little JSON the search engines' push interfaces speak: a string written for a request
// body, and a careful reader for their answers (small documents from a server we do not
// control: depth and size are bounded, nothing is trusted).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// text as a JSON string, quotes included, appended to out. text is UTF-8; control characters
// become \uXXXX escapes, so the result is valid JSON whatever the bytes.
void AppendJsonString(std::string& out, std::string_view text);

// One value of a JSON document.
struct JsonValue {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  // Made in the source file: clang cannot tell whether a member (a pair holding a JsonValue)
  // can be made while this type is still incomplete, and refuses the header otherwise.
  JsonValue();
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's value (UTF-8), or a number as written
  std::vector<JsonValue> items;                 // an array's
  std::vector<std::pair<std::string, JsonValue>> members;  // an object's, in document order

  // An object's member of that name (the first), or null.
  const JsonValue* Member(std::string_view name) const;
  // A number that is a whole number within int64_t.
  std::optional<int64_t> WholeNumber() const;
};

// The document text holds, or nullopt when it is not one JSON value (trailing text, a
// nesting deeper than maxDepth, bad escapes and invalid numbers all refuse it).
std::optional<JsonValue> ParseJson(std::string_view text, int maxDepth = 32);
