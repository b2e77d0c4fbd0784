#include "settings/SettingsTable.h"

#include <cstring>
#include <limits>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"
#include "crawl/SitemapContent.h"
#include "settings/CSetupManager.h"
#include "settings/SetupPageRules.h"
#include "web/IndexNowPush.h"

namespace {

// A database from before narrow text was UTF-8 holds GBK texts; they load as UTF-8.
bool ReadPath(const std::string& text, std::string& value, std::string&) {
  value = StoredTextToUtf8(text);
  return true;
}

bool ReadUserAgent(const std::string& text, std::string& value, std::string&) {
  value = UserAgentOf(StoredTextToUtf8(text));
  return true;
}

bool ReadChangefreqWord(const std::string& text, std::string& value, std::string& problem) {
  std::string word;
  if (!ParseChangefreq(text, word, problem)) return false;
  value = ChangefreqText(word);
  return true;
}

bool ReadPriorityList(const std::string& text, std::string& value, std::string& problem) {
  std::vector<std::string> values;
  if (!ParsePriorities(text, values, problem)) return false;
  value = PrioritiesText(values);
  return true;
}

// A setting of the search engines: no white space around it (pasted from a web page, say).
bool ReadPushText(const std::string& text, std::string& value, std::string&) {
  value = TrimWhitespace(StoredTextToUtf8(text));
  return true;
}

bool ReadIndexNowKey(const std::string& text, std::string& value, std::string& problem) {
  std::string key = TrimWhitespace(text);
  if (!key.empty() && !IsValidIndexNowKey(key)) {
    problem = "8 to 128 characters of a-z, A-Z, 0-9 and '-' expected";
    return false;
  }
  value = std::move(key);
  return true;
}

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

using K = SettingKind;
using P = SettingsPage;
using M = CSetupManager;

const SettingRow kRows[] = {
    {"styleIndex", "界面风格", kKeyStyle, K::Number, &M::styleIndex, "0", 0, 12, P::Appearance, false, {}},
    {"connectTimeout", "连接超时(秒)", kKeyConnectTimeout, K::Number, &M::connectTimeout, "10", 1, 3600, P::None, false, {}},
    {"totalTimeout", "请求超时(秒)", kKeyTotalTimeout, K::Number, &M::totalTimeout, "60", 1, 3600, P::None, false, {}},
    {"maxDepth", "最大深度", kKeyMaxDepth, K::Number, &M::maxDepth, "5", kMinDepth, kMaxDepth, P::Run, true,
     {"--depth", "-d", "N", 0, kIntMax, "depth", "a whole number", "deepest link level to crawl (the root is level 0)"}},
    {"threadCount", "线程数", kKeyThreads, K::Number, &M::threadCount, nullptr, kMinThreads, kMaxThreads, P::Run, true,
     {"--threads", "-t", "N", 1, 256, "thread count", "a whole number",
      "addresses fetched at the same time by each crawl (1 to 256)"}},
    {"forbiddenExtensions", "禁止访问的文件类型", kKeyForbiddenExtensions, K::Types, &M::forbiddenExtensions, nullptr, 0, 0, P::Run, true, {}},
    {"autoSaveEnabled", "执行自动保存", kKeyAutoSaveEnable, K::Switch, &M::autoSaveEnabled, "1", -1, 1, P::AutoSave, false, {}},
    {"autoSaveInterval", "自动保存间隔", kKeyAutoSaveInterval, K::Number, &M::autoSaveInterval, "180", 1, kMaxAutoSaveMinutes * 60, P::AutoSave, false,
     {}},
    {"autoSaveGzip", "GZIP压缩", kKeyAutoSaveGzip, K::Switch, &M::autoSaveGzip, "1", -1, 1, P::AutoSave, false, {}},
    {"autoSavePath", "保存路径", kKeyAutoSavePath, K::Text, &M::autoSavePath, "", 0, 4096, P::AutoSave, false, {}, ReadPath},
    {"obeyRobots", "遵守 robots.txt", kKeyObeyRobots, K::Switch, &M::obeyRobots, "0", 0, 1, P::Rules, true,
     {"--robots", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "obey robots.txt (fetched first), meta robots and rel=\"nofollow\""}},
    {"minIntervalMs", "请求最小间隔(毫秒)", kKeyMinIntervalMs, K::Number, &M::minIntervalMs, "0", 0, kMaxIntervalMs, P::Rules, true,
     {"--delay", nullptr, "MS", 0, kMaxIntervalMs, "delay", "milliseconds",
      "at least MS milliseconds between two requests to the site (0 to 60000)"}},
    {"userAgent", "用户代理(User-Agent)", kKeyUserAgent, K::Text, &M::userAgent, "", 0, static_cast<int32_t>(kMaxUserAgentBytes), P::Rules,
     true,
     {"--user-agent", nullptr, "TEXT", 0, 0, "user agent", nullptr,
      "send TEXT as the User-Agent (empty: none); robots.txt groups are\n"
      "matched by its text up to the first '/' or space"},
     ReadUserAgent},
    {"lastmodFromHeader", "lastmod 取自 Last-Modified", kKeyLastmodFromHeader, K::Switch, &M::lastmodFromHeader, "0", 0, 1, P::Rules, true,
     {"--lastmod", nullptr, nullptr, 0, 0, nullptr, nullptr, "lastmod of each page from its Last-Modified header, else today"}},
    {"sitemapIndex", "站点地图索引", kKeySitemapIndex, K::Switch, &M::sitemapIndex, "0", 0, 1, P::Rules, true,
     {"--index", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "also write <site>_sitemap_index.xml when there are several sitemap files"}},
    {"renderScripts", "执行网页脚本", kKeyRenderScripts, K::Switch, &M::renderScripts, "0", 0, 1, P::Rules, true,
     {"--render", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "also render each HTML page in headless Chromium (package chromium) and\n"
      "follow the links its scripts write; slower, for sites built by JavaScript"}},
    {"removeParams", "去掉的查询参数", kKeyRemoveParams, K::List, &M::removeParams, "", 0, 0, P::UrlRules, true,
     {"--remove-param", nullptr, "NAME", 0, 0, "parameter name", nullptr,
      "take query parameter NAME (also ;NAME= in the path) off every address\n"
      "before it is crawled, so one page under many session ids is fetched\n"
      "once; '*' matches any text (utm_*), letter case is ignored (repeatable)"},
     ReadParamNameList},
    {"removeAllParams", "去掉所有查询参数", kKeyRemoveAllParams, K::Switch, &M::removeAllParams, "0", 0, 1, P::UrlRules, true,
     {"--remove-all-params", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "take the whole query off every address, but the --keep-param ones"}},
    {"keepParams", "保留的查询参数", kKeyKeepParams, K::List, &M::keepParams, "", 0, 0, P::UrlRules, true,
     {"--keep-param", nullptr, "NAME", 0, 0, "parameter name", nullptr,
      "keep query parameter NAME when the others are taken off (repeatable)"},
     ReadParamNameList},
    {"skipPatterns", "不爬的网址", kKeySkipPatterns, K::List, &M::skipPatterns, "", 0, 0, P::UrlRules, true,
     {"--skip", nullptr, "PAT", 0, 0, "pattern", nullptr,
      "never fetch, follow or list an address matching PAT (counted as not\n"
      "allowed; repeatable); --exclude still fetches and follows it"},
     ReadSkipPatternList},
    {"maxPages", "最多爬的网页数", kKeyMaxPages, K::Number, &M::maxPages, "0", 0, kMaxPagesLimit, P::UrlRules, true,
     {"--max-pages", nullptr, "N", 0, kMaxPagesLimit, "page limit", "a whole number",
      "fetch at most N pages, then end the crawl and write its files (0: no limit)"}},
    {"sitemapCanonical", "只列出规范网址", kKeySitemapCanonical, K::Switch, &M::sitemapCanonical, "0", 0, 1, P::SitemapContent, true,
     {"--canonical", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "leave out a page whose <link rel=\"canonical\"> names another address,\n"
      "and crawl that address when it is on the site"}},
    {"sitemapHreflang", "写入语言版本(hreflang)", kKeySitemapHreflang, K::Switch, &M::sitemapHreflang, "0", 0, 1, P::SitemapContent, true,
     {"--hreflang", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "write each page's <link rel=\"alternate\" hreflang> as xhtml:link elements"}},
    {"sitemapChangefreq", "更新频率(changefreq)", kKeySitemapChangefreq, K::Words, &M::sitemapChangefreq, "daily", 0, 0, P::SitemapContent,
     true,
     {"--changefreq", nullptr, "WORD", 0, 0, nullptr, nullptr,
      "always, hourly, daily, weekly, monthly, yearly, never, or none (no element)"},
     ReadChangefreqWord},
    {"sitemapPriority", "优先级(priority)", kKeySitemapPriority, K::Words, &M::sitemapPriority, "0.5", 0, 0, P::SitemapContent, true,
     {"--priority", nullptr, "LIST", 0, 0, nullptr, nullptr,
      "one value from 0.0 to 1.0 for every page, a list by link depth such as\n"
      "1.0,0.8,0.6 (the last for every deeper page), or none (no element)"},
     ReadPriorityList},
    {"baiduSite", "站点", kKeyBaiduSite, K::Text, &M::baiduSite, "", 0, 2048, P::SearchEngines, false,
     {"--baidu-site", nullptr, "SITE", 0, 0, "Baidu site", nullptr,
      "push the sitemap's pages to Baidu (普通收录) once the crawl has ended, for SITE as\n"
      "verified on Baidu's platform (https://www.example.com); needs --baidu-token"},
     ReadPushText},
    {"baiduToken", "准入密钥(token)", kKeyBaiduToken, K::Text, &M::baiduToken, "", 0, 256, P::SearchEngines, false,
     {"--baidu-token", nullptr, "TOKEN", 0, 0, "Baidu token", nullptr,
      "Baidu's push token for the site (never written to a file)"},
     ReadPushText},
    {"baiduEndpoint", "推送接口", kKeyBaiduEndpoint, K::Text, &M::baiduEndpoint, "http://data.zz.baidu.com/urls", 0, 2048,
     P::SearchEngines, false,
     {"--baidu-endpoint", nullptr, "URL", 0, 0, "Baidu endpoint", nullptr,
      "Baidu's push address (default http://data.zz.baidu.com/urls)"},
     ReadPushText},
    {"indexNowKey", "IndexNow 密钥", kKeyIndexNowKey, K::Text, &M::indexNowKey, "", 0, 128, P::SearchEngines, false,
     {"--indexnow-key", nullptr, "KEY", 0, 0, "IndexNow key", nullptr,
      "push the sitemap's pages by IndexNow once the crawl has ended; the site must\n"
      "serve KEY (8 to 128 of a-z A-Z 0-9 -) as /KEY.txt, which is checked first"},
     ReadIndexNowKey},
    {"indexNowEndpoint", "IndexNow 接口", kKeyIndexNowEndpoint, K::Text, &M::indexNowEndpoint,
     "https://api.indexnow.org/indexnow", 0, 2048, P::SearchEngines, false,
     {"--indexnow-endpoint", nullptr, "URL", 0, 0, "IndexNow endpoint", nullptr,
      "IndexNow's address (default https://api.indexnow.org/indexnow)"},
     ReadPushText},
    {"htmlSitemap", "网站地图网页", kKeyHtmlSitemap, K::Switch, &M::htmlSitemap, "0", 0, 1, P::SearchEngines, true,
     {"--html-sitemap", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "also write <site>_sitemap.html, the pages by folder with their titles"}},
    {"deadLinks", "死链文件", kKeyDeadLinks, K::Switch, &M::deadLinks, "0", 0, 1, P::SearchEngines, false,
     {"--deadlinks", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "also write <site>_deadlinks.txt, the addresses that answered 404 or 410"}},
    {"deadLinksAll", "死链文件包括所有失败的网址", kKeyDeadLinksAll, K::Switch, &M::deadLinksAll, "0", 0, 1,
     P::SearchEngines, false,
     {"--deadlinks-all", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "with --deadlinks: every address that failed, not only 404 and 410"}},
};

// The words a Number or Switch is stored as: an optional sign and decimal digits.
std::optional<int64_t> ReadNumber(const std::string& text) {
  return ParseSignedDecimal(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

}  // namespace

std::span<const SettingRow> SettingsTable() { return kRows; }

const SettingRow* FindSetting(const std::string& key) {
  for (const SettingRow& row : kRows)
    if (key == row.key) return &row;
  return nullptr;
}

std::string SettingText(const CSetupManager& setup, const SettingRow& row) {
  if (auto number = std::get_if<int32_t CSetupManager::*>(&row.member)) return std::to_string(setup.*(*number));
  if (auto text = std::get_if<std::string CSetupManager::*>(&row.member)) return setup.*(*text);
  std::string archive;
  WriteExtensionArchive(setup.*std::get<StringISet CSetupManager::*>(row.member), archive);
  return archive;
}

std::string DefaultSettingText(const SettingRow& row) {
  if (row.defaultText) return row.defaultText;
  CSetupManager fresh;
  ResetSetting(fresh, row);
  return SettingText(fresh, row);
}

bool SetSettingText(CSetupManager& setup, const SettingRow& row, const std::string& text, SettingRange range) {
  switch (row.kind) {
    case SettingKind::Number: {
      const std::optional<int64_t> value = ReadNumber(text);
      const bool option = range == SettingRange::Option && row.option.name;
      const int64_t min = option ? row.option.min : row.min;
      const int64_t max = option ? row.option.max : row.max;
      if (!value || *value < min || *value > max) return false;
      setup.*std::get<int32_t CSetupManager::*>(row.member) = static_cast<int32_t>(*value);
      return true;
    }
    case SettingKind::Switch: {
      const std::optional<int64_t> value = ReadNumber(text);
      if (!value || *value < row.min || *value > row.max) return false;
      setup.*std::get<int32_t CSetupManager::*>(row.member) = *value == 0 ? 0 : 1;
      return true;
    }
    case SettingKind::Text:
    case SettingKind::Words:
    case SettingKind::List: {
      std::string value, problem;
      if (!row.read(text, value, problem)) return false;
      setup.*std::get<std::string CSetupManager::*>(row.member) = std::move(value);
      return true;
    }
    case SettingKind::Types: {
      StringISet types;
      if (!ReadExtensionArchive(text, types)) return false;
      setup.*std::get<StringISet CSetupManager::*>(row.member) = std::move(types);
      return true;
    }
  }
  return false;
}

void ResetSetting(CSetupManager& setup, const SettingRow& row) {
  if (row.kind == SettingKind::Types) {
    StringISet& types = setup.*std::get<StringISet CSetupManager::*>(row.member);
    types.clear();
    for (const char* ext : CSetupManager::kDefaultExtensionList) types.insert(ext);
    return;
  }
  if (!row.defaultText) {  // the thread count, the one default that depends on the machine
    setup.*std::get<int32_t CSetupManager::*>(row.member) = DefaultThreads();
    return;
  }
  if (row.kind == SettingKind::Number || row.kind == SettingKind::Switch) {
    setup.*std::get<int32_t CSetupManager::*>(row.member) = static_cast<int32_t>(*ReadNumber(row.defaultText));
    return;
  }
  setup.*std::get<std::string CSetupManager::*>(row.member) = row.defaultText;
}
