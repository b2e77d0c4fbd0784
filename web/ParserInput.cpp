#include "web/ParserInput.h"

#include <unordered_map>
#include <vector>

namespace {

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAlnum(char c) { return IsAlpha(c) || (c >= '0' && c <= '9'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The end of a reference name starting at text[i] (just after "&"), or i when none starts.
size_t NameEnd(const std::string& text, size_t i) {
  if (i >= text.size() || !IsAlpha(text[i])) return i;
  while (i < text.size() && IsAlnum(text[i])) ++i;
  return i;
}

bool IsBareNameBeforeEquals(const std::string& text, size_t amp) {
  const size_t end = NameEnd(text, amp + 1);
  return end > amp + 1 && end < text.size() && text[end] == '=';
}

bool IsVoidElement(const std::string& name) {
  static const char* const kVoid[] = {"area", "base", "br",   "col",   "embed",  "hr",
                                      "img",  "input", "link", "meta", "param", "source",
                                      "track", "wbr", "keygen", "basefont", "frame", "isindex"};
  for (const char* v : kVoid)
    if (name == v) return true;
  return false;
}

}  // namespace

bool EscapeBareReferenceNames(const std::string& text, std::string& out) {
  size_t amp = text.find('&');
  while (amp != std::string::npos && !IsBareNameBeforeEquals(text, amp)) amp = text.find('&', amp + 1);
  if (amp == std::string::npos) return false;
  out.clear();
  out.reserve(text.size() + 64);
  size_t copied = 0;
  for (; amp != std::string::npos; amp = text.find('&', amp + 1)) {
    if (!IsBareNameBeforeEquals(text, amp)) continue;
    out.append(text, copied, amp - copied);
    out += "&amp;";
    copied = amp + 1;
  }
  out.append(text, copied, std::string::npos);
  return true;
}

size_t EstimateNestingDepth(const std::string& text) {
  std::vector<std::string> open;
  std::unordered_map<std::string, size_t> openCount;
  size_t deepest = 0;
  std::string name;
  for (size_t i = text.find('<'); i != std::string::npos; i = text.find('<', i + 1)) {
    size_t p = i + 1;
    const bool closing = p < text.size() && text[p] == '/';
    if (closing) ++p;
    if (p >= text.size() || !IsAlpha(text[p])) continue;
    name.clear();
    while (p < text.size() && (IsAlnum(text[p]) || text[p] == ':' || text[p] == '-'))
      name += Lower(text[p++]);
    if (closing) {
      auto it = openCount.find(name);
      if (it == openCount.end() || it->second == 0) continue;  // a stray end tag closes nothing
      while (!open.empty()) {
        std::string top = std::move(open.back());
        open.pop_back();
        --openCount[top];
        if (top == name) break;
      }
      continue;
    }
    // "<div/>" still opens a div in HTML, so only void elements open nothing.
    if (IsVoidElement(name)) continue;
    ++openCount[name];
    open.push_back(name);
    if (open.size() > deepest) deepest = open.size();
  }
  return deepest;
}
