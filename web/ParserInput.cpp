#include "web/ParserInput.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "common/TextCodec.h"

namespace {

bool IsBlank(char c) { return IsAsciiWhitespace(static_cast<unsigned char>(c)); }
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

// Whether name is the literal; a constant length lets the compiler compare in place rather
// than call memcmp: this runs for every tag of every page.
template <size_t N>
bool Is(const std::string& name, const char (&literal)[N]) {
  return name.size() == N - 1 && std::memcmp(name.data(), literal, N - 1) == 0;
}

template <size_t... N>
bool IsOneOf(const std::string& name, const char (&... literals)[N]) {
  return (Is(name, literals) || ...);
}

bool IsVoidElement(const std::string& name) {
  return IsOneOf(name, "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source",
                 "track", "wbr", "keygen", "basefont", "frame", "isindex");
}

// Elements whose content is text up to their own end tag.
bool IsRawTextElement(const std::string& name) { return IsOneOf(name, "script", "style", "textarea", "title", "xmp"); }

// Whether a comment begins at text[i].
bool IsCommentStart(const std::string& text, size_t i) {
  return i + 3 < text.size() && text[i] == '<' && text[i + 1] == '!' && text[i + 2] == '-' && text[i + 3] == '-';
}

// Just after the ">" ending the tag whose name ends at p; npos when the tag never ends. As in
// a browser, a quote opens a value only after "=": a stray one (id="a"") is part of a name and
// does not hide the ">".
size_t TagEnd(const std::string& text, size_t p) {
  char quote = 0;
  char last = 0;  // the last character outside values and white space
  for (; p < text.size(); ++p) {
    const char c = text[p];
    if (quote) {
      if (c == quote) quote = 0, last = c;
    } else if ((c == '"' || c == '\'') && last == '=') {
      quote = c;
    } else if (c == '>') {
      return p + 1;
    } else if (!IsBlank(c)) {
      last = c;
    }
  }
  return std::string::npos;
}

// Whether the quote at text[quote] opens the value of an href attribute ("href = '...").
bool OpensHrefValue(const std::string& text, size_t tagStart, size_t quote) {
  size_t p = quote;
  while (p > tagStart && IsBlank(text[p - 1])) --p;
  if (p == tagStart || text[p - 1] != '=') return false;
  --p;
  while (p > tagStart && IsBlank(text[p - 1])) --p;
  if (p < tagStart + 4) return false;
  for (size_t k = 0; k < 4; ++k)
    if (Lower(text[p - 4 + k]) != "href"[k]) return false;
  return !IsAlnum(text[p - 5]) && text[p - 5] != '-' && text[p - 5] != ':';
}

// Appends the tag text[begin, end) with tab, CR and LF taken out of its href values, as a
// browser's URL parser does first: the markup parser would turn them into spaces (and the
// link into one with %20 in it).
void AppendTag(std::string& out, const std::string& text, size_t begin, size_t end) {
  size_t first = begin;
  while (first < end && text[first] != '\t' && text[first] != '\n' && text[first] != '\r') ++first;
  out.append(text, begin, first - begin);  // most tags have none of them
  char quote = 0;
  bool href = false;
  char last = 0;
  for (size_t p = begin; p < end && first < end; ++p) {
    const char c = text[p];
    if (quote) {
      if (c == quote) quote = 0, last = c;
      else if (href && (c == '\t' || c == '\n' || c == '\r')) continue;
    } else if ((c == '"' || c == '\'') && last == '=') {
      quote = c;
      href = OpensHrefValue(text, begin, p);
    } else if (!IsBlank(c)) {
      last = c;
    }
    if (p >= first) out += c;
  }
}

// Just after the end tag "</name...>" at or after from; npos when there is none.
size_t RawTextEnd(const std::string& text, size_t from, const std::string& name) {
  for (size_t i = text.find("</", from); i != std::string::npos; i = text.find("</", i + 2)) {
    size_t k = 0;
    while (k < name.size() && i + 2 + k < text.size() && Lower(text[i + 2 + k]) == name[k]) ++k;
    if (k == name.size()) {
      const size_t end = text.find('>', i + 2 + k);
      return end == std::string::npos ? end : end + 1;
    }
  }
  return std::string::npos;
}

// One pass over the tags of a page, tracking the open elements; optionally writes the page
// with the tags nested beyond a depth taken out.
class TagScanner {
 public:
  TagScanner(const std::string& text, size_t maxDepth, std::string* out)
      : text_(text), maxDepth_(maxDepth), out_(out) {}

  // Also notes in cuts the first tag at or after every sliceBytes.
  void NoteSlices(size_t sliceBytes, std::vector<size_t>* cuts) {
    sliceBytes_ = sliceBytes;
    cuts_ = cuts;
    nextCut_ = sliceBytes;
  }

  size_t Run() {
    size_t i = 0;
    while (i != std::string::npos && (i = text_.find('<', i)) != std::string::npos) {
      if (cuts_ && i >= nextCut_ && IsTagStart(i)) {
        cuts_->push_back(i);
        nextCut_ = i + sliceBytes_;
      }
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

  // A start or end tag begins at text[i] == '<' (not a comment, a declaration or a lone "<").
  bool IsTagStart(size_t i) const {
    size_t p = i + 1;
    if (p < text_.size() && text_[p] == '/') ++p;
    return p < text_.size() && IsAlpha(text_[p]);
  }

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
  size_t sliceBytes_ = 0;
  size_t nextCut_ = 0;
  std::vector<size_t>* cuts_ = nullptr;
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

std::vector<size_t> SliceStarts(const std::string& text, size_t sliceBytes) {
  std::vector<size_t> cuts{0};
  if (sliceBytes == 0 || text.size() <= sliceBytes) return cuts;
  TagScanner scanner(text, static_cast<size_t>(-1), nullptr);
  scanner.NoteSlices(sliceBytes, &cuts);
  scanner.Run();
  return cuts;
}

namespace {

// What a reading of the markup keeps of a page.
enum class Keep { kEveryTag, kLinkTags };

// Whether the tag name is one of those that can carry a link or change how links are read, or
// that the parser needs to place them. The parser sets aside anchors inside foreign content
// (svg, math), a select or a noscript of the head, so those stay. A link element names the
// page's canonical address and its language alternates.
bool IsLinkTag(const std::string& n) {
  return IsOneOf(n, "a", "area", "base", "meta", "link", "html", "head", "body", "noscript", "svg", "math", "select");
}

// Elements that may stand in the head: taking one out must not end the head. Any other start
// tag would begin the body, so its place is marked with character data, which does too.
bool MayStandInHead(const std::string& n) {
  return IsOneOf(n, "title", "style", "script", "template", "link");
}

// The attributes the crawl reads of a kept element; null: all of them (the html element, whose
// attributes may set how the parser reads the page).
std::initializer_list<const char*> const* ReadAttributes(const std::string& tag) {
  static const std::initializer_list<const char*> kLink = {"href", "rel"};
  static const std::initializer_list<const char*> kHeadLink = {"href", "rel", "hreflang"};
  static const std::initializer_list<const char*> kMeta = {"name", "content", "charset", "http-equiv"};
  static const std::initializer_list<const char*> kNone = {};
  if (Is(tag, "html")) return nullptr;
  if (Is(tag, "a") || Is(tag, "area") || Is(tag, "base")) return &kLink;
  if (Is(tag, "meta")) return &kMeta;
  if (Is(tag, "link")) return &kHeadLink;
  return &kNone;
}

bool EqualsLower(const std::string& text, size_t begin, size_t end, const char* name) {
  size_t k = 0;
  for (; begin + k < end && name[k]; ++k)
    if (Lower(text[begin + k]) != name[k]) return false;
  return begin + k == end && !name[k];
}

// Appends the start tag text[begin, end) (its name ends at nameEnd) with only the attributes
// the crawl reads, each byte for byte as AppendTag writes it. Attributes are split as a browser
// splits them; a quote opens a value only after "=", as TagEnd reads it.
void AppendReadAttributes(std::string& out, const std::string& text, size_t begin, size_t nameEnd, size_t end,
                          const std::string& tag) {
  const std::initializer_list<const char*>* read = ReadAttributes(tag);
  if (!read) {
    AppendTag(out, text, begin, end);
    return;
  }
  out.append(text, begin, nameEnd - begin);
  const size_t close = end - 1;  // the ">"
  size_t p = nameEnd;
  bool selfClosing = false;
  while (p < close) {
    if (IsBlank(text[p]) || text[p] == '/') {
      selfClosing = text[p] == '/';
      ++p;
      continue;
    }
    selfClosing = false;
    const size_t nameStart = p++;  // a first "=" belongs to the name
    while (p < close && !IsBlank(text[p]) && text[p] != '/' && text[p] != '=') ++p;
    const size_t attrNameEnd = p;
    size_t q = p;
    while (q < close && IsBlank(text[q])) ++q;
    if (q < close && text[q] == '=') {
      ++q;
      while (q < close && IsBlank(text[q])) ++q;
      if (q < close && (text[q] == '"' || text[q] == '\'')) {
        const size_t endQuote = text.find(text[q], q + 1);
        q = endQuote == std::string::npos || endQuote > close ? close : endQuote + 1;
      } else {
        while (q < close && !IsBlank(text[q])) ++q;
      }
      p = q;
    }
    for (const char* name : *read) {
      if (!EqualsLower(text, nameStart, attrNameEnd, name)) continue;
      out += ' ';
      AppendTag(out, text, nameStart, p);
      break;
    }
  }
  out += selfClosing ? "/>" : ">";
}

void ReadMarkup(const std::string& text, std::string& out, Keep keep) {
  out.clear();
  out.reserve(keep == Keep::kEveryTag ? text.size() / 2 : 4096);
  std::string name;
  // Character data (and, for the link tags, the tags taken out) since the last tag written:
  // one character stands for the run, so that no element turns empty (the parser would drop
  // it with a warning) and white space stays white space.
  enum { kNone, kBlank, kText } run = kNone;
  auto flush = [&] {
    if (run != kNone) out += run == kBlank ? ' ' : 'x';
    run = kNone;
  };
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '<') {
      size_t next = text.find('<', i);
      if (next == std::string::npos) next = text.size();
      if (run != kText) {
        bool blank = true;
        for (size_t k = i; k < next && blank; ++k) blank = IsBlank(text[k]);
        run = blank ? kBlank : kText;
      }
      if (keep == Keep::kEveryTag) flush();
      i = next;
      continue;
    }
    if (IsCommentStart(text, i)) {
      const size_t end = text.find("-->", i + 4);
      i = end == std::string::npos ? text.size() : end + 3;
      continue;
    }
    size_t p = i + 1;
    const bool closing = p < text.size() && text[p] == '/';
    if (closing) ++p;
    const bool markup = p < text.size() && (IsAlpha(text[p]) || text[p] == '!' || text[p] == '?');
    if (!markup) {  // a "<" that starts no tag is character data
      run = kText;
      if (keep == Keep::kEveryTag) flush();
      ++i;
      continue;
    }
    name.clear();
    while (p < text.size() && (IsAlnum(text[p]) || text[p] == ':' || text[p] == '-')) name += Lower(text[p++]);
    const size_t nameEnd = p;
    const size_t end = TagEnd(text, p);
    if (end == std::string::npos) {
      flush();
      out.append(text, i, std::string::npos);
      return;
    }
    // Declarations (the doctype) and processing instructions stay: they set the parser's mode.
    const bool kept = keep == Keep::kEveryTag || name.empty() || IsLinkTag(name);
    if (kept) {
      flush();
      if (keep == Keep::kLinkTags && !closing && !name.empty()) AppendReadAttributes(out, text, i, nameEnd, end, name);
      else AppendTag(out, text, i, end);
    } else if (!closing && !MayStandInHead(name)) {
      run = kText;
    }
    i = end;
    if (!closing && (IsRawTextElement(name) || Is(name, "plaintext"))) {
      const size_t after = Is(name, "plaintext") ? std::string::npos : RawTextEnd(text, end, name);
      if (after == std::string::npos) break;
      // Only the end tag of the element is kept, where its start tag is.
      if (kept) {
        const size_t tag = text.rfind("</", after);
        out.append(text, tag, after - tag);
      }
      i = after;
    }
  }
  flush();
}

}  // namespace

std::string WithoutCharacterData(const std::string& text) {
  std::string out;
  ReadMarkup(text, out, Keep::kEveryTag);
  return out;
}

void LinkMarkupOf(const std::string& text, std::string& out) { ReadMarkup(text, out, Keep::kLinkTags); }
