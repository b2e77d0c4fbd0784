#include "web/LinkExtractor.h"

#include <algorithm>
#include <new>
#include <vector>

#include "common/ResultCodes.h"
#include "web/LargeStackRunner.h"
#include "web/LinkRules.h"
#include "web/MetaRobots.h"
#include "web/PageImages.h"
#include "web/PageMarkup.h"
#include "web/PageText.h"
#include "web/PageTitle.h"
#include "web/LinkMarkup.h"
#include "web/MarkupPieces.h"
#include "web/ParserInput.h"
#include "web/ResponseHeaders.h"
#include "web/TidyDocument.h"

namespace {

// Tidy's parser and its release of the tree recurse once per element level (under 100 bytes
// of stack a level), and its parse time grows with the square of the depth. Pages nested no
// deeper than this are parsed on the caller's stack; deeper ones on a thread of their own.
constexpr size_t kCallerStackDepth = 500;
// Deeper levels are flattened: no real page nests this deep, and browsers cap theirs lower.
constexpr size_t kMaxDepth = 1000;
constexpr size_t kParserStack = size_t(8) << 20;

int32_t ParseAndCollect(const std::string& text, PageMarkup& markup) {
  TidyDocument doc;
  if (!doc.ok() || doc.Parse(text.c_str()) < 0) return rc::kParse;
  ReadPageMarkup(doc.Head(), doc.Body(), markup);
  return rc::kOk;
}

// No page nests deeper than it has tags, and a tag begins with "<": counting those is far
// cheaper than the scan that tracks open elements.
bool SurelyShallow(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '<')) <= kCallerStackDepth;
}

int32_t ParsePage(const std::string& text, PageMarkup& markup) {
  if (SurelyShallow(text)) return ParseAndCollect(text, markup);
  const size_t depth = EstimateNestingDepth(text);
  if (depth <= kCallerStackDepth) return ParseAndCollect(text, markup);
  const std::string flat = depth > kMaxDepth ? FlattenNesting(text, kMaxDepth) : std::string();
  const std::string& input = depth > kMaxDepth ? flat : text;
  int32_t code = rc::kParse;
  if (!RunOnLargeStack(kParserStack, [&] { code = ParseAndCollect(input, markup); })) return rc::kParse;
  return code;
}

void AppendMarkup(PageMarkup& part, PageMarkup& markup) {
  if (!markup.hasBase && part.hasBase) {
    markup.hasBase = true;
    markup.baseHref = std::move(part.baseHref);
  }
  for (auto& meta : part.namedMetas) markup.namedMetas.push_back(std::move(meta));
  for (HeadLink& link : part.headLinks) markup.headLinks.push_back(std::move(link));
  for (AnchorLink& anchor : part.anchors) markup.anchors.push_back(std::move(anchor));
  for (ImageReference& image : part.images) markup.images.push_back(std::move(image));
}

// Tidy reads its input as a C string and would stop at the first zero byte, dropping every
// link after it; browsers read past it as U+FFFD.
std::string WithoutZeroBytes(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (char c : text) {
    if (c == '\0')
      out += "\xEF\xBF\xBD";
    else
      out += c;
  }
  return out;
}

int32_t ParseMarkup(const std::string& markup, std::string& escaped, PageMarkup& page) {
  return ParsePage(EscapeBareReferenceNames(markup, escaped) ? escaped : markup, page);
}

// Only tags that can carry a link matter: the parser reads the page without its character
// data and without every other tag, a few hundred bytes of most pages. Longer link markup is
// parsed in pieces, one tree at a time, each after what the markup before it left open; a
// piece the parser refused adds nothing, and the page fails only when none could be read.
int32_t ParseLinkMarkup(const std::string& text, PageScratch& scratch, size_t pieceBytes, bool images) {
  LinkMarkupOf(text, scratch.markup, images);
  if (scratch.markup.find('\0') != std::string::npos) scratch.markup = WithoutZeroBytes(scratch.markup);
  const std::vector<MarkupPiece> pieces = MarkupPieces(scratch.markup, pieceBytes);
  if (pieces.size() == 1) return ParseMarkup(scratch.markup, scratch.escaped, scratch.page);
  int32_t result = rc::kParse;
  std::string piece;
  for (const MarkupPiece& cut : pieces) {
    piece.assign(cut.context).append(scratch.markup, cut.begin, cut.end - cut.begin);
    PageMarkup part;
    if (ParseMarkup(piece, scratch.escaped, part) != rc::kOk) continue;
    AppendMarkup(part, scratch.page);
    result = rc::kOk;
  }
  return result;
}

// The address the page's relative links are resolved against: its base element's href,
// resolved against the page's own address, when that gives an http(s) address.
std::string BaseAddress(const PageMarkup& markup, const std::string& pageAddress) {
  WebAddress base;
  if (markup.hasBase && ResolveWebReference(pageAddress, markup.baseHref, base)) return ToText(base);
  return pageAddress;
}

// What the page's robots meta elements, and those for our product token, ask together.
MetaRobotsDirectives DirectivesFor(const PageMarkup& markup, const std::string& productToken) {
  MetaRobotsDirectives all;
  for (const auto& [name, content] : markup.namedMetas) {
    if (!MetaNameAddressesUs(name, productToken)) continue;
    const MetaRobotsDirectives one = ParseMetaRobotsContent(content);
    all.noindex = all.noindex || one.noindex;
    all.nofollow = all.nofollow || one.nofollow;
  }
  return all;
}

// What an href's address depends on: the fragment never counts, and the white space cut from
// the end of an href never reaches before its "#". Pages repeat them ("#a", "#b", "x.html#c").
std::string_view ResolvedBy(const std::string& href) {
  const size_t hash = href.find('#');
  return hash == std::string::npos ? std::string_view(href) : std::string_view(href).substr(0, hash + 1);
}

// The canonical address and the language alternates the head names, resolved as anchors are.
// The first canonical counts; an alternate without a language or with an address that is no
// http(s) one is skipped.
void ReadHeadLinks(const PageMarkup& markup, const ReferenceResolver& base, const LinkOptions& options,
                   PageLinks& links) {
  for (const HeadLink& link : markup.headLinks) {
    WebAddress target;
    if (options.readCanonical && links.canonical.empty() && RelHasToken(link.rel, "canonical") &&
        base.Resolve(link.href, target)) {
      links.canonical = ToText(target);
    } else if (options.readAlternates && !link.hreflang.empty() && RelHasToken(link.rel, "alternate") &&
               base.Resolve(link.href, target)) {
      links.alternates.emplace_back(link.hreflang, ToText(target));
    }
  }
}

}  // namespace

int32_t ReadLinkMarkup(const std::string& utf8, PageScratch& scratch, size_t pieceBytes, bool images) {
  try {
    scratch.Release();
    return ParseLinkMarkup(utf8, scratch, pieceBytes, images);
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  }
}

int32_t ExtractLinks(const std::string& headers, const std::string& body, const SiteOrigin& origin,
                     const std::string& pageAddress, PageLinks& links, const LinkOptions& options) {
  PageScratch scratch;
  return ExtractLinks(headers, body, origin, pageAddress, links, options, scratch);
}

int32_t ExtractLinks(const std::string& headers, const std::string& body, const SiteOrigin& origin,
                     const std::string& pageAddress, PageLinks& links, const LinkOptions& options,
                     PageScratch& scratch) {
  struct Released {
    PageScratch& s;
    ~Released() { s.Release(); }
  } released{scratch};
  try {
    if (!headers.empty() && !ResponseHeaders(headers).IsHtml()) return rc::kOk;
    PageText page(headers, body, scratch.converted);
    if (!page.ok()) return rc::kParse;
    if (options.readTitle) links.title = PageTitleOf(page.utf8());
    const int32_t code = ParseLinkMarkup(page.utf8(), scratch, kMarkupPieceBytes, options.readImages);
    if (code != rc::kOk) return code;
    return AddMarkupLinks(scratch.page, origin, pageAddress, links, options, scratch);
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  } catch (...) {
    return rc::kGeneral;
  }
}

int32_t AddMarkupLinks(const PageMarkup& markup, const SiteOrigin& origin, const std::string& pageAddress,
                       PageLinks& links, const LinkOptions& options, PageScratch& scratch) {
  try {
    MetaRobotsDirectives directives;
    if (options.obeyRobots || options.readNoindex) directives = DirectivesFor(markup, options.productToken);
    links.saysNoindex = directives.noindex;
    if (!options.obeyRobots) directives = MetaRobotsDirectives{};
    links.noindex = directives.noindex;
    links.nofollow = directives.nofollow;
    const ReferenceResolver base(BaseAddress(markup, pageAddress), &scratch.linkCache);
    // What the page says of its own listing holds under nofollow too.
    ReadHeadLinks(markup, base, options, links);
    // The images a page shows are no links to follow: nofollow keeps them.
    if (options.readImages) AddPageImages(markup, base, links);
    if (directives.nofollow) return rc::kOk;
    scratch.resolved.clear();
    for (const AnchorLink& anchor : markup.anchors) {
      if (options.obeyRobots && RelHasNofollow(anchor.rel)) continue;
      if (!scratch.resolved.insert(ResolvedBy(anchor.href)).second) continue;  // resolved the same before
      ClassifyLink(anchor.href, base, origin, links);
    }
    return rc::kOk;
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  } catch (...) {
    return rc::kGeneral;
  }
}
