#include "crawl/AdmissionRules.h"

bool IsAllowedExtension(const std::string& path, const StringISet& forbiddenExtensions) {
  for (const auto& extension : forbiddenExtensions) {
    // Every path ends with the empty text; taken literally it would refuse every link.
    if (extension.empty()) continue;
    if (EndsWithIgnoreCase(path, extension)) return false;
  }
  return true;
}
