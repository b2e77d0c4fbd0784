#include "web/TidyDocument.h"

#include <mutex>

namespace {

// Unless the program has chosen Tidy's message language, every new document chooses it with
// setlocale(LC_ALL, ""): that switches the whole process to the environment's locale, and
// setlocale is not safe while other threads run. Choosing it once, before the first
// document, keeps Tidy away from the process locale.
TidyDoc CreateDocument(TidyAllocator* allocator) {
  static std::once_flag once;
  std::call_once(once, [] { tidySetLanguage("en"); });
  return tidyCreateWithAllocator(allocator);
}

}  // namespace

TidyDocument::TidyDocument() : doc_(CreateDocument(arena_.allocator())) {
  tidyBufInit(&errors_);
  if (!doc_) return;
  // Diagnostics go into a buffer nobody reads; Tidy would otherwise write them to stderr.
  tidySetErrorBuffer(doc_, &errors_);
  tidyOptSetInt(doc_, TidyShowErrors, 0);
  tidyOptSetBool(doc_, TidyShowWarnings, no);
  tidyOptSetBool(doc_, TidyQuiet, yes);
  // Every page reaches the parser as UTF-8, whatever set it came in; attribute values come
  // back in UTF-8. Percent-encoding is ours to do.
  tidySetInCharEncoding(doc_, "utf8");
  tidyOptSetBool(doc_, TidyFixUri, no);
}

TidyDocument::~TidyDocument() {
  if (doc_) tidyRelease(doc_);
  tidyBufFree(&errors_);
}

int TidyDocument::Parse(const char* text) {
  if (!doc_) return -1;
  return tidyParseString(doc_, text);
}

TidyNode TidyDocument::Head() const { return doc_ ? tidyGetHead(doc_) : nullptr; }

TidyNode TidyDocument::Body() const { return doc_ ? tidyGetBody(doc_) : nullptr; }
