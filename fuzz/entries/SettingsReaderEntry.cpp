#include <map>
#include <string>

#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "settings/CSetupManager.h"

namespace {

const char* const kKeys[10] = {kKeyStyle,          kKeyConnectTimeout,   kKeyTotalTimeout,
                               kKeyMaxDepth,       kKeyThreads,          kKeyForbiddenExtensions,
                               kKeyAutoSaveEnable, kKeyAutoSaveInterval, kKeyAutoSaveGzip,
                               kKeyAutoSavePath};

std::map<std::string, std::string> ReadPairs(const std::string& input) {
  std::map<std::string, std::string> pairs;
  size_t start = 0;
  while (start <= input.size()) {
    size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    const std::string line = input.substr(start, end - start);
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
      std::string key = line.substr(0, eq);
      if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') key = kKeys[key[0] - '0'];
      pairs.insert_or_assign(std::move(key), line.substr(eq + 1));
    }
    start = end + 1;
  }
  return pairs;
}

void CheckSame(const CSetupManager& a, const CSetupManager& b) {
  FuzzCheck(a.styleIndex == b.styleIndex && a.connectTimeout == b.connectTimeout &&
                a.totalTimeout == b.totalTimeout && a.maxDepth == b.maxDepth &&
                a.threadCount == b.threadCount && a.autoSaveEnabled == b.autoSaveEnabled &&
                a.autoSaveInterval == b.autoSaveInterval && a.autoSaveGzip == b.autoSaveGzip,
            "a number setting changed through save and reload");
  FuzzCheck(a.autoSavePath == b.autoSavePath, "the auto-save path changed through save and reload",
            b.autoSavePath);
  // An empty set is not stored, so the reloaded one keeps its defaults.
  if (!a.forbiddenExtensions.empty())
    FuzzCheck(a.forbiddenExtensions.size() == b.forbiddenExtensions.size() &&
                  std::equal(a.forbiddenExtensions.begin(), a.forbiddenExtensions.end(),
                             b.forbiddenExtensions.begin()),
              "the forbidden types changed through save and reload");
}

}  // namespace

void FuzzSettingsReader(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  CSetupManager loaded;
  loaded.ResetToDefaults();
  loaded.LoadFromMap(ReadPairs(input));
  FuzzCheck(loaded.styleIndex >= 0 && loaded.maxDepth >= 0 && loaded.threadCount >= 0 &&
                loaded.autoSaveInterval >= 0,
            "a setting with a fallback loaded below zero");

  std::map<std::string, std::string> stored;
  loaded.SaveToMap(stored);
  CSetupManager reloaded;
  reloaded.ResetToDefaults();
  reloaded.LoadFromMap(stored);
  CheckSame(loaded, reloaded);

  StringISet set;
  ReadExtensionArchive(input, set);
  for (const std::string& ext : set) FuzzCheck(ext.size() <= size, "an entry longer than the archive");
}
