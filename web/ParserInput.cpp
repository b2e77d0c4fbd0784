#include "web/ParserInput.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "web/MarkupTags.h"

namespace {

using namespace markup;

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

// One pass over the tags of a page, tracking the open elements; optionally writes the page
// with the tags nested beyond a depth taken out.
class TagScanner {
 public:
  TagScanner(const std::string& text, size_t maxDepth, std::string* out)
      : text_(text), maxDepth_(maxDepth), out_(out) {}

  size_t Run() {
    size_t i = 0;
    while (i != std::string::npos && (i = text_.find('<', i)) != std::string::npos) {
      i = Step(i);
    }
    if (out_) out_->append(text_, copied_, std::string::npos);
    return deepest_;
  }

 private:
  struct Open {
    std::string name;
    bool dropped;
  };

  // Handles the markup at text[i] == '<'; returns where to go on (npos: nothing more to scan).
  size_t Step(size_t i) {
    if (IsCommentStart(text_, i)) {
      const size_t end = text_.find("-->", i + 4);
      return end == std::string::npos ? end : end + 3;
    }
    size_t p = i + 1;
    const bool closing = p < text_.size() && text_[p] == '/';
    if (closing) ++p;
    if (p >= text_.size() || !IsAlpha(text_[p])) return i + 1;
    name_.clear();
    while (p < text_.size() && (IsAlnum(text_[p]) || text_[p] == ':' || text_[p] == '-'))
      name_ += Lower(text_[p++]);
    const size_t end = TagEnd(text_, p);
    if (closing) {
      if (Close() && out_) Drop(i, end);
      return end;
    }
    if (IsVoidElement(name_)) return end;
    if (Is(name_, "plaintext")) {
      Deepen(open_.size() + 1);
      return std::string::npos;
    }
    if (IsRawTextElement(name_)) {
      Deepen(open_.size() + 1);
      return end == std::string::npos ? end : RawTextEnd(text_, end, name_);
    }
    const bool keep = Is(name_, "a") || kept_ < maxDepth_;
    if (!keep && out_) Drop(i, end);
    if (keep) ++kept_;
    open_.push_back({name_, !keep});
    ++openCount_[name_];
    Deepen(open_.size());
    return end;
  }

  // Closes the latest open element of that name and those inside it; a stray end tag closes
  // nothing. True when the closed element's tags were taken out.
  bool Close() {
    auto it = openCount_.find(name_);
    if (it == openCount_.end() || it->second == 0) return false;
    while (!open_.empty()) {
      Open top = std::move(open_.back());
      open_.pop_back();
      --openCount_[top.name];
      if (!top.dropped) --kept_;
      if (top.name == name_) return top.dropped;
    }
    return false;
  }

  void Drop(size_t begin, size_t end) {
    out_->append(text_, copied_, begin - copied_);
    copied_ = end == std::string::npos ? text_.size() : end;
  }

  void Deepen(size_t depth) {
    if (depth > deepest_) deepest_ = depth;
  }

  const std::string& text_;
  const size_t maxDepth_;
  std::string* const out_;
  std::vector<Open> open_;
  std::unordered_map<std::string, size_t> openCount_;
  std::string name_;
  size_t kept_ = 0;
  size_t deepest_ = 0;
  size_t copied_ = 0;
};

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
  return TagScanner(text, static_cast<size_t>(-1), nullptr).Run();
}

std::string FlattenNesting(const std::string& text, size_t maxDepth) {
  std::string out;
  out.reserve(text.size());
  TagScanner(text, maxDepth, &out).Run();
  return out;
}
