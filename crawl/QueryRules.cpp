#include "crawl/QueryRules.h"

#include "common/PercentEncoding.h"
#include "common/StringICompare.h"
#include "web/WebAddress.h"

namespace {

// The name as the server reads it: escapes decoded, ASCII letters upper-cased.
std::string Folded(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    if (const std::optional<unsigned char> byte = PercentEscapeAt(name, i)) {
      out.push_back(static_cast<char>(*byte));
      i += 2;
    } else {
      out.push_back(name[i]);
    }
  }
  return ToUpperAscii(std::move(out));
}

// "*" stands for any text, the other bytes for themselves; both already folded.
bool GlobMatches(std::string_view pattern, std::string_view text) {
  size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool AnyMatches(const std::vector<std::string>& patterns, const std::string& folded) {
  for (const std::string& pattern : patterns)
    if (GlobMatches(pattern, folded)) return true;
  return false;
}

std::vector<std::string> FoldAll(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  std::string problem;
  for (const std::string& name : names)
    if (QueryRules::IsValidName(name, problem)) out.push_back(Folded(name));
  return out;
}

}  // namespace

QueryRules::QueryRules(const std::vector<std::string>& removeNames, bool removeAll,
                       const std::vector<std::string>& keepNames)
    : remove_(FoldAll(removeNames)), keep_(FoldAll(keepNames)), removeAll_(removeAll) {}

bool QueryRules::IsValidName(std::string_view name, std::string& problem) {
  if (name.empty()) {
    problem = "empty parameter name";
    return false;
  }
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '=' || c == '&' || c == ';' || c == '#' || c == '?' || byte <= 0x20 || byte == 0x7F) {
      problem = "a parameter name holds no '=', '&', ';', '#', '?', space or control character";
      return false;
    }
  }
  return true;
}

bool QueryRules::Removes(std::string_view encodedName, bool inQuery) const {
  const std::string folded = Folded(encodedName);
  if (AnyMatches(keep_, folded)) return false;
  return (inQuery && removeAll_) || AnyMatches(remove_, folded);
}

std::string QueryRules::ApplyToPath(const std::string& pathAndQuery) const {
  if (empty()) return pathAndQuery;
  const size_t question = pathAndQuery.find('?');
  const std::string_view path = std::string_view(pathAndQuery).substr(0, question);
  std::string out;
  out.reserve(pathAndQuery.size());
  // Path parameters: ";name=value" up to the next ";" or "/".
  if (remove_.empty() || path.find(';') == std::string_view::npos) {
    out.append(path);
  } else {
    size_t i = 0;
    while (i < path.size()) {
      const size_t semi = path.find(';', i);
      if (semi == std::string_view::npos) {
        out.append(path.substr(i));
        break;
      }
      out.append(path.substr(i, semi - i));
      size_t end = path.find_first_of(";/", semi + 1);
      if (end == std::string_view::npos) end = path.size();
      const std::string_view param = path.substr(semi + 1, end - semi - 1);
      if (!Removes(param.substr(0, param.find('=')), false)) out.append(path.substr(semi, end - semi));
      i = end;
    }
  }
  if (question == std::string::npos) return out;
  const std::string_view query = std::string_view(pathAndQuery).substr(question + 1);
  std::vector<std::string_view> kept;
  bool removedAny = false;
  for (size_t i = 0; i <= query.size();) {
    size_t end = query.find('&', i);
    if (end == std::string_view::npos) end = query.size();
    const std::string_view piece = query.substr(i, end - i);
    if (!piece.empty() && Removes(piece.substr(0, piece.find('=')), true)) removedAny = true;
    else kept.push_back(piece);
    i = end + 1;
  }
  // Untouched, the query stays byte for byte; once rewritten, empty pieces go with the removed
  // ones, and an empty query with its "?".
  if (!removedAny && !(removeAll_ && query.empty())) return out + "?" + std::string(query);
  std::string joined;
  for (std::string_view piece : kept) {
    if (piece.empty()) continue;
    if (!joined.empty()) joined.push_back('&');
    joined.append(piece);
  }
  return joined.empty() ? out : out + "?" + joined;
}

std::string QueryRules::ApplyToAddress(const std::string& address) const {
  if (empty()) return address;
  WebAddress parsed;
  if (!ParseWebAddress(address, parsed)) return address;
  const std::string path = ApplyToPath(parsed.pathAndQuery);
  if (path == parsed.pathAndQuery) return address;
  parsed.pathAndQuery = path;
  return ToText(parsed);
}
