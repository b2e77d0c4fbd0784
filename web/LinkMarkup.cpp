#include "web/LinkMarkup.h"

#include <unordered_map>
#include <vector>

#include "web/MarkupTags.h"

namespace {

using namespace markup;

// What a reading of the markup keeps of a page.
enum class Keep { kEveryTag, kLinkTags, kLinkAndImageTags };

// Whether the tag name is one of those that can carry a link or change how links are read, or
// that the parser needs to place them. The parser sets aside anchors inside foreign content
// (svg, math), a select or a noscript of the head, so those stay. A link element names the
// page's canonical address and its language alternates.
bool IsLinkTag(const std::string& n) {
  return IsOneOf(n, "a", "area", "base", "meta", "link", "html", "head", "body", "noscript", "svg", "math", "select");
}

// The elements an image address is read from; kept only when images are asked for, so the
// parser's input of every other crawl stays as small as it was.
bool IsImageTag(const std::string& n) { return IsOneOf(n, "img", "source"); }

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
  static const std::initializer_list<const char*> kImage = {"src", "srcset"};
  static const std::initializer_list<const char*> kNone = {};
  if (Is(tag, "html")) return nullptr;
  if (Is(tag, "a") || Is(tag, "area") || Is(tag, "base")) return &kLink;
  if (Is(tag, "meta")) return &kMeta;
  if (Is(tag, "link")) return &kHeadLink;
  if (IsImageTag(tag)) return &kImage;
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
  const bool images = keep == Keep::kLinkAndImageTags;
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
    const bool kept = keep == Keep::kEveryTag || name.empty() || IsLinkTag(name) || (images && IsImageTag(name));
    if (kept) {
      flush();
      if (keep != Keep::kEveryTag && !closing && !name.empty()) AppendReadAttributes(out, text, i, nameEnd, end, name);
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

void LinkMarkupOf(const std::string& text, std::string& out, bool images) {
  ReadMarkup(text, out, images ? Keep::kLinkAndImageTags : Keep::kLinkTags);
}
