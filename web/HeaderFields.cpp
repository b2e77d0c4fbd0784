#include "web/HeaderFields.h"

#include <boost/regex.hpp>

namespace {

constexpr int32_t kKinds = 7;

// Compiled once; matching with a const boost::regex is safe from several threads.
const boost::regex* PatternOf(int32_t kind) {
  static const boost::regex patterns[kKinds] = {
      boost::regex("http.+?\\s+?(\\d{3})", boost::regex::perl | boost::regex::icase),
      boost::regex("Content-Length:\\s*?(\\d{1,})", boost::regex::perl | boost::regex::icase),
      boost::regex("Set-Cookie:\\s*?(.+?)\\n", boost::regex::perl | boost::regex::icase),
      boost::regex("charset=\\s*?(.+?)\\n", boost::regex::perl | boost::regex::icase),
      boost::regex("Content-Encoding:\\s*?(.+?)\\n", boost::regex::perl | boost::regex::icase),
      boost::regex("Server:\\s*?(.+?)\\n", boost::regex::perl | boost::regex::icase),
      boost::regex("Last-Modified:\\s*?(.+?)\\n", boost::regex::perl | boost::regex::icase),
  };
  if (kind < 0 || kind >= kKinds) return nullptr;
  return &patterns[kind];
}

// The patterns of kinds 2-6 end at a line feed.
bool EndsAtLineEnd(int32_t kind) { return kind >= kFieldCookie; }

}  // namespace

std::string ExtractHeaderField(const std::string& headers, int32_t kind) {
  const boost::regex* pattern = PatternOf(kind);
  if (!pattern || headers.empty()) return {};
  try {
    boost::smatch match;
    if (!EndsAtLineEnd(kind)) {
      if (boost::regex_search(headers, match, *pattern) && match[1].matched) return match[1].str();
      return {};
    }
    // The block stops before the blank line, so its last field has no line end: give it one.
    // "." also matches line ends here, so the value is cut at the end of its own line, which
    // also keeps the carriage return of a CRLF line out of it.
    const std::string text = headers + "\n";
    if (!boost::regex_search(text, match, *pattern) || !match[1].matched) return {};
    std::string value = match[1].str();
    const size_t end = value.find_first_of("\r\n");
    if (end != std::string::npos) value.erase(end);
    return value;
  } catch (...) {
    // A block that exhausts the matcher has no usable field.
    return {};
  }
}
