#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/StringICompare.h"

// Keys of the settings database, one per stored field.
inline constexpr const char* kKeyStyle = "keysetupmanager_vm";
// The time-outs the requests use. The keys before these (keysetupmanager_conn_timeout and
// keysetupmanager_total_timeout) held 10 and 60 that no request ever used; they are left
// unread, so an old database does not turn its 60 into a limit nobody chose.
inline constexpr const char* kKeyConnectTimeout = "keysetupmanager_http_connect_timeout";
inline constexpr const char* kKeyTotalTimeout = "keysetupmanager_http_total_timeout";
inline constexpr const char* kKeyMaxDepth = "keysetupmanager_run_maxdepth";
inline constexpr const char* kKeyThreads = "keysetupmanager_run_threads";
inline constexpr const char* kKeyForbiddenExtensions = "keysetupmanager_run_notallow_ext";
inline constexpr const char* kKeyAutoSaveEnable = "keysetupmanager_autosave_enable";
inline constexpr const char* kKeyAutoSaveInterval = "keysetupmanager_autosave_interval";
inline constexpr const char* kKeyAutoSaveGzip = "keysetupmanager_autosave_gzip";
inline constexpr const char* kKeyAutoSavePath = "keysetupmanager_autosave_path";
// The version of the settings' stored form; a later program that stores them differently
// raises it, and this one then leaves that database as it is.
inline constexpr const char* kKeySettingsFormat = "keysetupmanager_format";
inline constexpr int32_t kSettingsFormat = 2;
// The crawl rules; a database written before they existed has none of these keys.
inline constexpr const char* kKeyObeyRobots = "keysetupmanager_rules_obey_robots";
inline constexpr const char* kKeyMinIntervalMs = "keysetupmanager_rules_min_interval_ms";
inline constexpr const char* kKeyUserAgent = "keysetupmanager_rules_user_agent";
inline constexpr const char* kKeyLastmodFromHeader = "keysetupmanager_rules_lastmod_from_header";
inline constexpr const char* kKeySitemapIndex = "keysetupmanager_rules_sitemap_index";
inline constexpr const char* kKeyRenderScripts = "keysetupmanager_rules_render_scripts";
// What goes into the sitemap; a database written before these has none of the keys.
inline constexpr const char* kKeyRemoveParams = "keysetupmanager_urlrules_remove_params";
inline constexpr const char* kKeyRemoveAllParams = "keysetupmanager_urlrules_remove_all_params";
inline constexpr const char* kKeyKeepParams = "keysetupmanager_urlrules_keep_params";
inline constexpr const char* kKeySkipPatterns = "keysetupmanager_urlrules_skip";
inline constexpr const char* kKeyMaxPages = "keysetupmanager_urlrules_max_pages";
inline constexpr const char* kKeySitemapCanonical = "keysetupmanager_sitemap_canonical";
inline constexpr const char* kKeySitemapHreflang = "keysetupmanager_sitemap_hreflang";
inline constexpr const char* kKeySitemapImages = "keysetupmanager_sitemap_images";
inline constexpr const char* kKeySitemapChangefreq = "keysetupmanager_sitemap_changefreq";
inline constexpr const char* kKeySitemapPriority = "keysetupmanager_sitemap_priority";
// How the requests reach the site (连接); a database written before these has none of the keys.
inline constexpr const char* kKeyCredentials = "keysetupmanager_conn_credentials";
inline constexpr const char* kKeyRememberPassword = "keysetupmanager_conn_remember_password";
inline constexpr const char* kKeyRequestHeaders = "keysetupmanager_conn_headers";
inline constexpr const char* kKeyCookieFile = "keysetupmanager_conn_cookie_file";
inline constexpr const char* kKeyProxy = "keysetupmanager_conn_proxy";
inline constexpr const char* kKeyNoProxy = "keysetupmanager_conn_no_proxy";
inline constexpr const char* kKeyCaFile = "keysetupmanager_conn_ca_file";
inline constexpr const char* kKeyInsecure = "keysetupmanager_conn_insecure";
inline constexpr const char* kKeyMaxRate = "keysetupmanager_conn_max_rate";
inline constexpr const char* kKeySitemapLastmodFrom = "keysetupmanager_sitemap_lastmod_from";
inline constexpr const char* kKeyAuditSitemap = "keysetupmanager_rules_audit_sitemap";
// Telling the search engines, and the files for them; a database written before these has none.
inline constexpr const char* kKeyBaiduSite = "keysetupmanager_push_baidu_site";
inline constexpr const char* kKeyBaiduToken = "keysetupmanager_push_baidu_token";
inline constexpr const char* kKeyBaiduEndpoint = "keysetupmanager_push_baidu_endpoint";
inline constexpr const char* kKeyIndexNowKey = "keysetupmanager_push_indexnow_key";
inline constexpr const char* kKeyIndexNowEndpoint = "keysetupmanager_push_indexnow_endpoint";
inline constexpr const char* kKeyHtmlSitemap = "keysetupmanager_push_html_sitemap";
inline constexpr const char* kKeyDeadLinks = "keysetupmanager_push_deadlinks";
inline constexpr const char* kKeyDeadLinksAll = "keysetupmanager_push_deadlinks_all";

// The user's settings for the run of the program. Only the window thread touches it; the
// crawl gets copies when it starts.
class CSetupManager {
 public:
  // defaultExtensions holds the default list; forbiddenExtensions and autoSavePath start
  // empty; the numbers hold their defaults.
  CSetupManager();

  StringISet defaultExtensions;       // what "restore defaults" on the run page brings back
  int32_t styleIndex = 0;             // visual style, 0 to 12
  int32_t connectTimeout = 10;        // seconds the connection may take
  int32_t totalTimeout = 10;          // seconds the whole request may take, connection included
  int32_t maxDepth = 5;
  int32_t threadCount = 0;            // 4 x processors by default, at most 20
  StringISet forbiddenExtensions;     // extensions with their dot, never fetched
  int32_t autoSaveEnabled = 1;        // on when not 0
  int32_t autoSaveInterval = 180;     // seconds between two auto-saves
  int32_t autoSaveGzip = 1;           // gzip files when not 0
  std::string autoSavePath;           // put in front of the auto-saved file names (UTF-8)
  // Crawl rules. Each default keeps the crawl as it is without them.
  int32_t obeyRobots = 0;             // 1: robots.txt, meta robots and rel="nofollow" obeyed
  int32_t minIntervalMs = 0;          // least time between two requests to the site, 0 to kMaxIntervalMs
  std::string userAgent;              // sent as the User-Agent (UTF-8); empty sends none
  int32_t lastmodFromHeader = 0;      // 1: lastmod from the page's Last-Modified when it has one
  int32_t sitemapIndex = 0;           // 1: an index file beside several sitemap files
  int32_t renderScripts = 0;          // 1: pages rendered in a headless browser, their scripts run
  // URL rules; lists hold one entry a line. Each default changes no address.
  std::string removeParams;           // query parameter names taken off every address
  int32_t removeAllParams = 0;        // 1: every query parameter but the kept ones taken off
  std::string keepParams;             // names kept when all others are taken off
  std::string skipPatterns;           // addresses never fetched, followed or listed
  int32_t maxPages = 0;               // pages fetched at most; 0: no limit
  // Sitemap content. Each default writes the sitemap as it is without them.
  int32_t sitemapCanonical = 0;       // 1: a page naming another canonical address is left out
  int32_t sitemapHreflang = 0;        // 1: language alternates written
  int32_t sitemapImages = 0;          // 1: each page's images written as image:image
  std::string sitemapChangefreq = "daily";  // a protocol word or "none", as ParseChangefreq reads it
  std::string sitemapPriority = "0.5";      // one value, a list by depth or "none", as ParsePriorities reads it
  // Connection (连接). Each default makes the requests as they were made without them.
  std::string credentials;            // "USER" or "USER:PASSWORD" for HTTP authentication; empty: none
  int32_t rememberPassword = 0;       // 1: the password is stored too; else it lives in memory only
  std::string requestHeaders;         // "Name: value" lines sent with every request to the site
  std::string cookieFile;             // a Netscape cookie file the crawl starts from (UTF-8 path)
  std::string proxy;                  // http, https, socks5 or socks5h address; empty: the environment's
  int32_t noProxy = 0;                // 1: no proxy, whatever the environment says
  std::string caFile;                 // a CA bundle trusted beside the system's (UTF-8 path)
  int32_t insecure = 0;               // 1: any certificate is accepted
  int32_t maxRate = 0;                // requests a second at most; 0: no limit
  // start, header, content or none, as ParseLastmodSource reads it; start with the switch
  // lastmodFromHeader on means header, as it always did.
  std::string sitemapLastmodFrom = "start";
  // The audit of the site's own sitemap. Off changes nothing.
  int32_t auditSitemap = 0;           // 1: their sitemap read, checked against the crawl, orphans fetched
  // The search engines. Nothing is sent unless the user asks; the token is stored here only.
  std::string baiduSite;              // the site as verified on Baidu's platform
  std::string baiduToken;             // Baidu's push token: never shown unmasked, logged or written to a file
  std::string baiduEndpoint = "http://data.zz.baidu.com/urls";
  std::string indexNowKey;            // 8 to 128 of a-z A-Z 0-9 -, served by the site as /<key>.txt
  std::string indexNowEndpoint = "https://api.indexnow.org/indexnow";
  int32_t htmlSitemap = 0;            // 1: <site>_sitemap.html, with the pages' titles
  int32_t deadLinks = 0;              // 1: <site>_deadlinks.txt (404 and 410)
  int32_t deadLinksAll = 0;           // 1: every failure in it

  // Every field but defaultExtensions back to its default.
  void ResetToDefaults();
  // Reads every setting of the settings table from stored texts. An absent one is its
  // default; so is one the table refuses (out of range, unreadable), and its key is returned
  // so that the window can say so.
  std::vector<std::string> LoadFromMap(const std::map<std::string, std::string>& pairs);
  // Writes every setting as its stored text (the extension set only when not empty).
  void SaveToMap(std::map<std::string, std::string>& pairs) const;

  // The 50 default extensions in the order they are inserted.
  static const char* const kDefaultExtensionList[50];
  static int32_t DefaultThreadCount();
};

// Text archive of an extension set ("22 serialization::archive 9 0 0 <n> 0 <len> <ext> ...");
// false when it could not be written.
bool WriteExtensionArchive(const StringISet& set, std::string& text);
// Reads such an archive into set: a damaged header or preamble leaves the set as it was;
// after that the set is emptied and keeps the entries read before any failure.
// False on any failure.
bool ReadExtensionArchive(const std::string& text, StringISet& set);
