#include "web/ResponseHeaders.h"

#include "common/StringICompare.h"
#include "common/TextCodec.h"

namespace {

std::string Trim(const std::string& text, size_t b = 0, size_t e = std::string::npos) {
  if (e > text.size()) e = text.size();
  if (b > e) b = e;
  return std::string(TrimWhitespaceView(std::string_view(text).substr(b, e - b)));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "HTTP/1.1 200 OK": the digits after the version, when there are exactly three.
std::string StatusOf(const std::string& line) {
  if (!StartsWithIgnoreCase(line, "http/")) return {};
  size_t p = line.find_first_of(" \t");
  if (p == std::string::npos) return {};
  while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
  size_t e = p;
  while (e < line.size() && IsDigit(line[e])) ++e;
  return e - p == 3 ? line.substr(p, 3) : std::string();
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// The value of a ";"-separated parameter of a field such as Content-Type.
std::string Parameter(const std::string& value, const std::string& name) {
  size_t start = value.find(';');
  while (start != std::string::npos) {
    const size_t end = value.find(';', start + 1);
    const std::string piece = value.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    const size_t eq = piece.find('=');
    if (eq != std::string::npos && EqualsIgnoreCase(Trim(piece, 0, eq), name)) return Unquote(Trim(piece, eq + 1));
    start = end;
  }
  return {};
}

}  // namespace

std::string ResponseHeaders::StatusCodeOf(const std::string& block) { return StatusOf(Trim(block, 0, block.find('\n'))); }

ResponseHeaders::ResponseHeaders(const std::string& block) {
  const size_t firstEnd = block.find('\n');
  status_ = StatusCodeOf(block);
  // The status line holds no field; a block cut without it starts with its first field.
  size_t begin = 0;
  if (StartsWithIgnoreCase(block, "http/")) begin = firstEnd == std::string::npos ? block.size() : firstEnd + 1;
  while (begin < block.size()) {
    const size_t end = block.find('\n', begin);
    const std::string line = block.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    begin = end == std::string::npos ? block.size() : end + 1;
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
      if (!fields_.empty()) fields_.back().second = Trim(fields_.back().second + " " + Trim(line));
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    fields_.emplace_back(Trim(line, 0, colon), Trim(line, colon + 1));
  }
}

std::string ResponseHeaders::Field(const std::string& name) const {
  for (const auto& [key, value] : fields_)
    if (EqualsIgnoreCase(key, name)) return value;
  return {};
}

bool ResponseHeaders::Has(const std::string& name) const {
  for (const auto& field : fields_)
    if (EqualsIgnoreCase(field.first, name)) return true;
  return false;
}

std::string ResponseHeaders::MediaType() const {
  const std::string value = Field("Content-Type");
  return ToLowerAscii(Trim(value, 0, value.find(';')));
}

std::string ResponseHeaders::Charset() const { return Parameter(Field("Content-Type"), "charset"); }

bool ResponseHeaders::IsHtml() const {
  if (!Has("Content-Type")) return true;
  const std::string type = MediaType();
  return type == "text/html" || type == "application/xhtml+xml" || type.empty();
}
