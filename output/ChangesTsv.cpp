#include "output/ChangesTsv.h"

#include "output/FailureTsv.h"

const char* ContentChangeWord(ContentChange kind) {
  switch (kind) {
    case ContentChange::New:
      return "new";
    case ContentChange::Changed:
      return "changed";
    case ContentChange::Gone:
      return "gone";
    default:
      return "";
  }
}

std::string ChangesTsvLine(ContentChange kind, const std::string& address, const std::string& lastmod) {
  return std::string(ContentChangeWord(kind)) + '\t' + TsvField(address) + '\t' + TsvField(lastmod) + '\n';
}
