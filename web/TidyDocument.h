#pragma once
#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include "web/TidyArena.h"

// Owns one Tidy document, set up to read UTF-8 text and to print nothing.
class TidyDocument {
 public:
  TidyDocument();
  ~TidyDocument();
  TidyDocument(const TidyDocument&) = delete;
  TidyDocument& operator=(const TidyDocument&) = delete;

  bool ok() const { return doc_ != nullptr; }
  // Tidy's result: negative for a severe error, 0-2 when a tree was built.
  int Parse(const char* text);
  // The head and body elements; null when the document has none.
  TidyNode Head() const;
  TidyNode Body() const;

 private:
  TidyArena arena_;  // before doc_: the document is released before its memory
  TidyDoc doc_;
  TidyBuffer errors_;
};
