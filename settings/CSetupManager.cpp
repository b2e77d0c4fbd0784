#include "settings/CSetupManager.h"

#include <new>

#include "common/TextCodec.h"
#include "crawl/SitemapContent.h"
#include "settings/SettingsPersistence.h"
#include "settings/SetupPageRules.h"
#include "store/TextArchive.h"

const char* const CSetupManager::kDefaultExtensionList[50] = {
    ".exe", ".dll", ".com", ".rar", ".zip", ".gzip", ".gz",  ".7z",  ".ace",  ".cab",
    ".jar", ".tar", ".rpm", ".z",   ".iso", ".bin",  ".img", ".gho", ".nrg",  ".vob",
    ".rm",  ".ra",  ".ram", ".rmvb", ".mp3", ".mp4", ".avi", ".wma", ".wmv",  ".asf",
    ".dat", ".mov", ".qt",  ".mp2", ".mid", ".mpe",  ".mpeg", ".mpg", ".wav", ".flv",
    ".pdf", ".doc", ".dot", ".docx", ".rtf", ".xls", ".ppt", ".mdb", ".txt",  ".wps"};

namespace {

void InsertDefaults(StringISet& set) {
  for (const char* ext : CSetupManager::kDefaultExtensionList) set.insert(ext);
}

int32_t ReadInt(const std::map<std::string, std::string>& pairs, const char* key) {
  auto it = pairs.find(key);
  return ReadIntSetting(it == pairs.end() ? std::string() : it->second);
}

int32_t OrIfNegative(int32_t value, int32_t fallback) { return value < 0 ? fallback : value; }

// A switch: on only for a stored positive number, so an old database (no key) keeps it off.
int32_t ReadFlag(const std::map<std::string, std::string>& pairs, const char* key) {
  return ReadInt(pairs, key) > 0 ? 1 : 0;
}

// A database from before narrow text was UTF-8 holds GBK texts; they load as UTF-8.
std::string ReadText(const std::map<std::string, std::string>& pairs, const char* key) {
  auto it = pairs.find(key);
  return it == pairs.end() ? std::string() : StoredTextToUtf8(it->second);
}

// A stored change frequency or priority as the parsers read it back; anything else the default.
std::string ReadChangefreq(const std::map<std::string, std::string>& pairs) {
  std::string word, message;
  auto it = pairs.find(kKeySitemapChangefreq);
  if (it == pairs.end() || !ParseChangefreq(it->second, word, message)) return SitemapContent{}.changefreq;
  return ChangefreqText(word);
}

std::string ReadPriorities(const std::map<std::string, std::string>& pairs) {
  std::vector<std::string> values;
  std::string message;
  auto it = pairs.find(kKeySitemapPriority);
  if (it == pairs.end() || !ParsePriorities(it->second, values, message)) values = SitemapContent{}.priorities;
  return PrioritiesText(values);
}

}  // namespace

int32_t CSetupManager::DefaultThreadCount() { return DefaultThreads(); }

CSetupManager::CSetupManager() : threadCount(DefaultThreadCount()) { InsertDefaults(defaultExtensions); }

void CSetupManager::ResetToDefaults() {
  styleIndex = 0;
  connectTimeout = 10;
  totalTimeout = 60;
  maxDepth = 5;
  threadCount = DefaultThreadCount();
  forbiddenExtensions.clear();
  InsertDefaults(forbiddenExtensions);
  autoSaveEnabled = 1;
  autoSaveInterval = 180;
  autoSaveGzip = 1;
  autoSavePath.clear();
  obeyRobots = 0;
  minIntervalMs = 0;
  userAgent.clear();
  lastmodFromHeader = 0;
  sitemapIndex = 0;
  renderScripts = 0;
  sitemapCanonical = 0;
  sitemapHreflang = 0;
  sitemapChangefreq = ChangefreqText(SitemapContent{}.changefreq);
  sitemapPriority = PrioritiesText(SitemapContent{}.priorities);
}

void CSetupManager::LoadFromMap(const std::map<std::string, std::string>& pairs) {
  styleIndex = OrIfNegative(ReadInt(pairs, kKeyStyle), 0);
  connectTimeout = ReadInt(pairs, kKeyConnectTimeout);
  totalTimeout = ReadInt(pairs, kKeyTotalTimeout);
  maxDepth = OrIfNegative(ReadInt(pairs, kKeyMaxDepth), 5);
  threadCount = OrIfNegative(ReadInt(pairs, kKeyThreads), DefaultThreadCount());
  auto ext = pairs.find(kKeyForbiddenExtensions);
  if (ext != pairs.end() && !ext->second.empty()) ReadExtensionArchive(ext->second, forbiddenExtensions);
  autoSaveEnabled = ReadInt(pairs, kKeyAutoSaveEnable);
  autoSaveInterval = OrIfNegative(ReadInt(pairs, kKeyAutoSaveInterval), 180);
  autoSaveGzip = ReadInt(pairs, kKeyAutoSaveGzip);
  autoSavePath = ReadText(pairs, kKeyAutoSavePath);
  obeyRobots = ReadFlag(pairs, kKeyObeyRobots);
  minIntervalMs = IntervalMsOf(ReadInt(pairs, kKeyMinIntervalMs));
  userAgent = UserAgentOf(ReadText(pairs, kKeyUserAgent));
  lastmodFromHeader = ReadFlag(pairs, kKeyLastmodFromHeader);
  sitemapIndex = ReadFlag(pairs, kKeySitemapIndex);
  renderScripts = ReadFlag(pairs, kKeyRenderScripts);
  sitemapCanonical = ReadFlag(pairs, kKeySitemapCanonical);
  sitemapHreflang = ReadFlag(pairs, kKeySitemapHreflang);
  sitemapChangefreq = ReadChangefreq(pairs);
  sitemapPriority = ReadPriorities(pairs);
}

void CSetupManager::SaveToMap(std::map<std::string, std::string>& pairs) const {
  pairs.insert_or_assign(kKeyStyle, std::to_string(styleIndex));
  pairs.insert_or_assign(kKeyConnectTimeout, std::to_string(connectTimeout));
  pairs.insert_or_assign(kKeyTotalTimeout, std::to_string(totalTimeout));
  pairs.insert_or_assign(kKeyMaxDepth, std::to_string(maxDepth));
  pairs.insert_or_assign(kKeyThreads, std::to_string(threadCount));
  std::string archive;
  if (!forbiddenExtensions.empty() && WriteExtensionArchive(forbiddenExtensions, archive)) {
    pairs.insert_or_assign(kKeyForbiddenExtensions, archive);
  }
  pairs.insert_or_assign(kKeyAutoSaveEnable, std::to_string(autoSaveEnabled));
  pairs.insert_or_assign(kKeyAutoSaveInterval, std::to_string(autoSaveInterval));
  pairs.insert_or_assign(kKeyAutoSaveGzip, std::to_string(autoSaveGzip));
  pairs.insert_or_assign(kKeyAutoSavePath, autoSavePath);
  pairs.insert_or_assign(kKeyObeyRobots, std::to_string(obeyRobots));
  pairs.insert_or_assign(kKeyMinIntervalMs, std::to_string(minIntervalMs));
  pairs.insert_or_assign(kKeyUserAgent, userAgent);
  pairs.insert_or_assign(kKeyLastmodFromHeader, std::to_string(lastmodFromHeader));
  pairs.insert_or_assign(kKeySitemapIndex, std::to_string(sitemapIndex));
  pairs.insert_or_assign(kKeyRenderScripts, std::to_string(renderScripts));
  pairs.insert_or_assign(kKeySitemapCanonical, std::to_string(sitemapCanonical));
  pairs.insert_or_assign(kKeySitemapHreflang, std::to_string(sitemapHreflang));
  pairs.insert_or_assign(kKeySitemapChangefreq, sitemapChangefreq);
  pairs.insert_or_assign(kKeySitemapPriority, sitemapPriority);
}

bool WriteExtensionArchive(const StringISet& set, std::string& text) {
  TextArchiveWriter writer;
  writer.WriteInt(0);  // tracking flag
  writer.WriteInt(0);  // class version
  writer.WriteCount(set.size());
  writer.WriteInt(0);  // item version
  for (const auto& ext : set) writer.WriteString(ext);
  if (!writer.ok()) return false;
  try {
    text = writer.text();
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The count is only an upper bound on the loop: each entry must still be in the text, so a
// huge count read from a damaged value costs nothing.
bool ReadExtensionArchive(const std::string& text, StringISet& set) {
  TextArchiveReader reader(text);
  int32_t tracking = 0;
  int32_t classVersion = 0;
  if (!reader.ReadHeader() || !reader.ReadInt(tracking) || !reader.ReadInt(classVersion)) return false;
  set.clear();
  uint64_t count = 0;
  int32_t itemVersion = 0;
  if (!reader.ReadCount(count) || !reader.ReadInt(itemVersion)) return false;
  for (uint64_t i = 0; i < count; ++i) {
    std::string ext;
    if (!reader.ReadString(ext)) return false;
    try {
      set.insert(StoredTextToUtf8(ext));
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return true;
}
