#pragma once
// A value other than the default for each setting that shapes a crawl, shared by the tests
// that follow every setting from the settings to a crawl's start record and its journal.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "crawl/CrawlStartParams.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsTable.h"
#include "support/SameSettings.h"

// The value as stored, and the command's arguments that ask for the same (none where the
// command has no option).
struct SettingSample {
  std::string stored;
  std::vector<std::string> args;
};

inline const std::map<std::string, SettingSample>& SettingSamples() {
  static const std::map<std::string, SettingSample> samples = [] {
    std::string types;
    WriteExtensionArchive({".foo", ".bar"}, types);
    return std::map<std::string, SettingSample>{
        {kKeyMaxDepth, {"7", {"-d", "7"}}},
        {kKeyThreads, {"3", {"--threads=3"}}},
        {kKeyForbiddenExtensions, {types, {}}},
        {kKeyObeyRobots, {"1", {"--robots"}}},
        {kKeyMinIntervalMs, {"250", {"--delay", "250"}}},
        {kKeyUserAgent, {"VeltroBot/2.0", {"--user-agent", "VeltroBot/2.0"}}},
        {kKeyLastmodFromHeader, {"1", {"--lastmod"}}},
        {kKeySitemapIndex, {"1", {"--index"}}},
        {kKeyRenderScripts, {"1", {"--render"}}},
        {kKeySitemapCanonical, {"1", {"--canonical"}}},
        {kKeySitemapHreflang, {"1", {"--hreflang"}}},
        {kKeySitemapImages, {"1", {"--images"}}},
        {kKeySitemapChangefreq, {"weekly", {"--changefreq", "weekly"}}},
        {kKeySitemapPriority, {"1.0,0.8,0.6", {"--priority", "1.0,0.8,0.6"}}},
        {kKeySitemapLastmodFrom, {"content", {"--lastmod-from", "content"}}},
        {kKeyRemoveParams, {"sid\nutm_*", {"--remove-param", "sid", "--remove-param=utm_*"}}},
        {kKeyRemoveAllParams, {"1", {"--remove-all-params"}}},
        {kKeyKeepParams, {"id", {"--keep-param", "id"}}},
        {kKeySkipPatterns, {"*calendar*", {"--skip", "*calendar*"}}},
        {kKeyMaxPages, {"300", {"--max-pages", "300"}}},
        {kKeyCredentials, {"alice:s3cret", {"--user", "alice:s3cret"}}},
        {kKeyRequestHeaders, {"X-Token: a\nX-Other: b", {"--header", "X-Token: a", "--header=X-Other: b"}}},
        {kKeyCookieFile, {"/tmp/cookies.txt", {"--cookie-file", "/tmp/cookies.txt"}}},
        {kKeyProxy, {"socks5h://proxy:1080", {"--proxy", "socks5h://proxy:1080"}}},
        {kKeyNoProxy, {"1", {"--no-proxy"}}},
        {kKeyCaFile, {"/tmp/ca.pem", {"--cacert", "/tmp/ca.pem"}}},
        {kKeyInsecure, {"1", {"--insecure"}}},
        {kKeyConnectTimeout, {"20", {"--connect-timeout", "20"}}},
        {kKeyTotalTimeout, {"30", {"--timeout=30"}}},
        {kKeyMaxRate, {"5", {"--max-rate", "5"}}},
        {kKeyAuditSitemap, {"1", {"--audit"}}},
        {kKeyHtmlSitemap, {"1", {"--html-sitemap"}}},
    };
  }();
  return samples;
}

// Every sample set over setup; false when the table refuses one.
inline bool SetEverySample(CSetupManager& setup) {
  for (const auto& [key, sample] : SettingSamples())
    if (!SetSettingText(setup, *FindSetting(key), sample.stored)) return false;
  return true;
}
