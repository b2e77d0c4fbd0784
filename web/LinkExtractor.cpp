#include "web/LinkExtractor.h"

#include <algorithm>
#include <new>
#include <vector>

#include "common/ResultCodes.h"
#include "web/AnchorWalker.h"
#include "web/LargeStackRunner.h"
#include "web/LinkRules.h"
#include "web/ParserInput.h"
#include "web/TextConversion.h"
#include "web/TidyDocument.h"

namespace {

// Tidy's parser and its release of the tree recurse once per element level (under 100 bytes
// of stack a level), and its parse time grows with the square of the depth. Pages nested no
// deeper than this are parsed on the caller's stack; deeper ones on a thread of their own.
constexpr size_t kCallerStackDepth = 500;
// Deeper levels are flattened: no real page nests this deep, and browsers cap theirs lower.
constexpr size_t kMaxDepth = 1000;
constexpr size_t kParserStack = size_t(8) << 20;

int32_t ParseAndCollect(const std::string& text, std::vector<std::string>& links) {
  TidyDocument doc;
  if (!doc.ok() || doc.Parse(text.c_str()) < 0) return rc::kParse;
  CollectAnchorLinks(doc.Body(), links);
  return rc::kOk;
}

// No page nests deeper than it has tags, and a tag begins with "<": counting those is far
// cheaper than the scan that tracks open elements.
bool SurelyShallow(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '<')) <= kCallerStackDepth;
}

int32_t CollectPageLinks(const std::string& text, std::vector<std::string>& links) {
  if (SurelyShallow(text)) return ParseAndCollect(text, links);
  const size_t depth = EstimateNestingDepth(text);
  if (depth <= kCallerStackDepth) return ParseAndCollect(text, links);
  const std::string flat = depth > kMaxDepth ? FlattenNesting(text, kMaxDepth) : std::string();
  const std::string& input = depth > kMaxDepth ? flat : text;
  int32_t code = rc::kParse;
  if (!RunOnLargeStack(kParserStack, [&] { code = ParseAndCollect(input, links); })) return rc::kParse;
  return code;
}

}  // namespace

int32_t ExtractLinks(StringISet& external, const std::string& headers, const std::string& host,
                     const std::string& body, StringISet& internal) {
  try {
    std::string text = PreparePageText(headers, body);
    std::string escaped;
    if (EscapeBareReferenceNames(text, escaped)) text.swap(escaped);
    std::vector<std::string> links;
    const int32_t code = CollectPageLinks(text, links);
    if (code != rc::kOk) return code;
    for (const std::string& link : links) ClassifyLink(link, host, external, internal);
    return rc::kOk;
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  } catch (...) {
    return rc::kGeneral;
  }
}
