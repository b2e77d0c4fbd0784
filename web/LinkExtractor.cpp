#include "web/LinkExtractor.h"

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
// of stack a level). Pages nested no deeper than this are parsed on the caller's stack.
constexpr size_t kCallerStackDepth = 500;
// Otherwise on a thread with room for every level, generously; beyond the cap no real page
// nests, and the page is refused rather than risking the process.
constexpr size_t kStackBase = size_t(1) << 20;
constexpr size_t kStackPerLevel = 1024;
constexpr size_t kStackCap = size_t(1) << 30;

int32_t ParseAndCollect(const std::string& text, std::vector<std::string>& links) {
  TidyDocument doc;
  if (!doc.ok() || doc.Parse(text.c_str()) < 0) return rc::kParse;
  CollectAnchorLinks(doc.Body(), links);
  return rc::kOk;
}

int32_t CollectPageLinks(const std::string& text, std::vector<std::string>& links) {
  const size_t depth = EstimateNestingDepth(text);
  if (depth <= kCallerStackDepth) return ParseAndCollect(text, links);
  if (depth > (kStackCap - kStackBase) / kStackPerLevel) return rc::kParse;
  int32_t code = rc::kParse;
  if (!RunOnLargeStack(kStackBase + depth * kStackPerLevel,
                       [&] { code = ParseAndCollect(text, links); }))
    return rc::kParse;
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
