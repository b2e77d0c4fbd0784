#include "settings/SettingsTable.h"

#include <cstring>
#include <limits>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"
#include "crawl/SitemapContent.h"
#include "settings/CSetupManager.h"
#include "settings/ConnectionSettings.h"
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

bool ReadLastmodWord(const std::string& text, std::string& value, std::string& problem) {
  LastmodSource source = LastmodSource::Start;
  if (!ParseLastmodSource(text, source, problem)) return false;
  value = LastmodSourceText(source);
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
    {"sitemapImages", "图片", kKeySitemapImages, K::Switch, &M::sitemapImages, "0", 0, 1, P::SitemapContent, true,
     {"--images", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "write the images each page shows (img, srcset, picture) as image:image\n"
      "elements, at most 1,000 a page; the images are not fetched"}},
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
    // Connection (连接): how the requests reach the site. Not in the journal: a resumed crawl
    // connects as this run says.
    {"credentials", "用户名和密码", kKeyCredentials, K::Text, &M::credentials, "", 0, kMaxCredentialsBytes, P::Connection, true,
     {"--user", nullptr, "USER:PASSWORD", 0, 0, "user", nullptr,
      "HTTP authentication (basic or digest) for the site; sent to no other\n"
      "host, also not after a redirect"},
     ReadCredentials},
    {"rememberPassword", "记住密码", kKeyRememberPassword, K::Switch, &M::rememberPassword, "0", 0, 1, P::Connection, false, {}},
    {"requestHeaders", "请求头", kKeyRequestHeaders, K::List, &M::requestHeaders, "", 0, 0, P::Connection, true,
     {"--header", nullptr, "'NAME: VALUE'", 0, 0, "header", nullptr,
      "send this header line with every request to the site (repeatable)"},
     ReadHeaderList},
    {"cookieFile", "Cookie 文件", kKeyCookieFile, K::Text, &M::cookieFile, "", 0, 4096, P::Connection, true,
     {"--cookie-file", nullptr, "FILE", 0, 0, "cookie file", nullptr,
      "start with the cookies of FILE (Netscape format, as curl and browser\n"
      "add-ons export them); cookies the site sets are kept for the crawl"},
     ReadPath},
    {"proxy", "代理服务器", kKeyProxy, K::Text, &M::proxy, "", 0, kMaxProxyBytes, P::Connection, true,
     {"--proxy", nullptr, "URL", 0, 0, "proxy", nullptr,
      "use this http, https, socks5 or socks5h proxy (default: http_proxy,\n"
      "https_proxy and no_proxy from the environment)"},
     ReadProxy},
    {"noProxy", "不使用代理", kKeyNoProxy, K::Switch, &M::noProxy, "0", 0, 1, P::Connection, true,
     {"--no-proxy", nullptr, nullptr, 0, 0, nullptr, nullptr, "use no proxy, whatever the environment says"}},
    {"caFile", "CA 证书文件", kKeyCaFile, K::Text, &M::caFile, "", 0, 4096, P::Connection, true,
     {"--cacert", nullptr, "FILE", 0, 0, "CA file", nullptr,
      "also trust the certificates of the PEM bundle FILE (a test server's own)"},
     ReadPath},
    {"insecure", "不验证证书", kKeyInsecure, K::Switch, &M::insecure, "0", 0, 1, P::Connection, true,
     {"--insecure", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "accept any certificate (verification off, for this crawl only)"}},
    {"connectTimeout", "连接超时(秒)", kKeyConnectTimeout, K::Number, &M::connectTimeout, "10", kMinTimeoutSeconds, kMaxTimeoutSeconds,
     P::Connection, true,
     {"--connect-timeout", nullptr, "S", kMinTimeoutSeconds, kMaxTimeoutSeconds, "connect time-out", "seconds",
      "give up a connection that takes more than S seconds (1 to 300)"}},
    {"totalTimeout", "请求超时(秒)", kKeyTotalTimeout, K::Number, &M::totalTimeout, "10", kMinTimeoutSeconds, kMaxTimeoutSeconds,
     P::Connection, true,
     {"--timeout", nullptr, "S", kMinTimeoutSeconds, kMaxTimeoutSeconds, "time-out", "seconds",
      "give up a page that takes more than S seconds in all (1 to 300)"}},
    {"maxRate", "每秒最多请求数", kKeyMaxRate, K::Number, &M::maxRate, "0", 0, kMaxRequestRate, P::Connection, true,
     {"--max-rate", nullptr, "N", 0, kMaxRequestRate, "request rate", "requests a second",
      "at most N requests a second to the site, all threads together (0: no\n"
      "limit); with --delay too, the stricter of the two holds"}},
    {"sitemapLastmodFrom", "lastmod 来源", kKeySitemapLastmodFrom, K::Words, &M::sitemapLastmodFrom, "start", 0, 0, P::SitemapContent,
     true,
     {"--lastmod-from", nullptr, "WORD", 0, 0, nullptr, nullptr,
      "start (the crawl's date, the default), header (each page's Last-Modified,\n"
      "else that date), content (the date the page's content was first seen,\n"
      "kept per site in db/history; also writes <site>_changes.tsv), or none"},
     ReadLastmodWord},
    {"auditSitemap", "检查网站现有的网站地图", kKeyAuditSitemap, K::Switch, &M::auditSitemap, "0", 0, 1, P::Rules, true,
     {"--audit", nullptr, nullptr, 0, 0, nullptr, nullptr,
      "read the site's own sitemap (robots.txt Sitemap: lines, /sitemap.xml ...),\n"
      "fetch the pages only it names (their links not followed) and write\n"
      "<site>_audit.tsv: orphans, missing pages, bad entries, format faults"}},
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
