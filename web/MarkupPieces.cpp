#include "web/MarkupPieces.h"

#include "web/MarkupTags.h"

namespace {

using namespace markup;

// Elements inside which the parser sets anchors aside: a piece that begins inside one of them
// must begin inside it too. Kept as their index here: a hostile page may open them by the
// hundred thousand.
constexpr const char* kAsideNames[] = {"noscript", "svg", "math", "select"};
constexpr size_t kNotAside = 4;

size_t AsideIndex(const std::string& name) {
  for (size_t k = 0; k < kNotAside; ++k)
    if (name == kAsideNames[k]) return k;
  return kNotAside;
}

// Deeper nesting of those changes nothing more for a piece than this many open.
constexpr size_t kMostWrittenOpen = 64;

// Start tags that begin the body, as the reduction leaves them (the tags it took out that
// begin the body stand as character data).
bool StartsBody(const std::string& name) { return IsOneOf(name, "body", "a", "area", "svg", "math", "select"); }

// What the markup read so far leaves open for the next piece.
class OpenContext {
 public:
  void Declaration(const std::string& markup, size_t begin, size_t end) {
    if (!seenHtml_ && !inBody_) declarations_.append(markup, begin, end - begin);
  }
  void Html(const std::string& markup, size_t begin, size_t end) {
    if (!seenHtml_) html_.assign(markup, begin, end - begin);
    seenHtml_ = true;
  }
  // The body begun by character data, or by a tag that does not name it: the parser implied it.
  void Text() { BeginBody("x"); }
  void Start(const std::string& name, bool selfClosing, const std::string& markup, size_t begin, size_t end) {
    if (Is(name, "body")) BeginBody(markup.substr(begin, end - begin));
    else if (StartsBody(name)) BeginBody("x");
    const size_t aside = AsideIndex(name);
    if (aside != kNotAside && !selfClosing) open_.push_back(static_cast<unsigned char>(aside));
    // An anchor ends where the next one begins.
    if (Is(name, "a")) anchorOpen_ = !selfClosing;
  }
  // Closes the latest open element of that name and those inside it; a stray end tag closes nothing.
  void End(const std::string& name) {
    if (Is(name, "a")) anchorOpen_ = false;
    const size_t aside = AsideIndex(name);
    if (aside == kNotAside) return;
    for (size_t k = open_.size(); k > 0; --k) {
      if (open_[k - 1] != aside) continue;
      open_.resize(k - 1);
      return;
    }
  }

  void BeginBody(const std::string& how) {
    // What a noscript of the head holds stays in the head.
    if (inBody_ || !open_.empty()) return;
    inBody_ = true;
    body_ = how;
  }

  std::string Written() const {
    std::string text = declarations_ + html_ + body_;
    for (size_t k = 0; k < open_.size() && k < kMostWrittenOpen; ++k)
      text.append(1, '<').append(kAsideNames[open_[k]]).append(1, '>');
    // Inside an anchor the parser reads some head elements otherwise; one without an href
    // stands for it and adds no link.
    if (anchorOpen_) text += "<a>";
    return text;
  }

 private:
  std::string declarations_;
  std::string html_;
  bool seenHtml_ = false;
  bool inBody_ = false;
  std::string body_;  // how the body began: its start tag, or "x" where the parser implied it
  std::vector<unsigned char> open_;  // indexes into kAsideNames, outermost first
  bool anchorOpen_ = false;
};

bool EndsSelfClosed(const std::string& markup, size_t end) { return end >= 2 && markup[end - 2] == '/'; }

}  // namespace

std::vector<MarkupPiece> MarkupPieces(const std::string& markup, size_t pieceBytes) {
  std::vector<MarkupPiece> pieces(1);
  pieces.back().end = markup.size();
  if (pieceBytes == 0 || markup.size() <= pieceBytes) return pieces;
  OpenContext context;
  std::string name;
  size_t i = 0;
  while (i < markup.size()) {
    if (markup[i] != '<') {
      if (!IsBlank(markup[i])) context.Text();
      ++i;
      continue;
    }
    if (IsCommentStart(markup, i)) break;  // only in the text a tag that never ends left as it was
    size_t p = i + 1;
    const bool closing = p < markup.size() && markup[p] == '/';
    if (closing) ++p;
    if (p >= markup.size() || !(IsAlpha(markup[p]) || markup[p] == '!' || markup[p] == '?')) {
      context.Text();  // a "<" that starts no tag is character data
      ++i;
      continue;
    }
    name.clear();
    while (p < markup.size() && (IsAlnum(markup[p]) || markup[p] == ':' || markup[p] == '-')) name += Lower(markup[p++]);
    const size_t end = TagEnd(markup, p);
    if (end == std::string::npos) break;
    if (i >= pieces.back().begin + pieceBytes) {
      pieces.back().end = i;
      pieces.push_back(MarkupPiece{i, markup.size(), context.Written()});
    }
    if (name.empty()) context.Declaration(markup, i, end);
    else if (closing) context.End(name);
    else if (Is(name, "html")) context.Html(markup, i, end);
    else context.Start(name, EndsSelfClosed(markup, end), markup, i, end);
    i = end;
  }
  return pieces;
}
