#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/Status.h"
#include "common/SystemInfo.h"
#include "settings/CSetupManager.h"
#include "settings/CrawlStartParamsOf.h"
#include "settings/SettingsTable.h"
#include "settings/SettingsPersistence.h"
#include "settings/SetupPageRules.h"
#include "texts/SettingsText.h"
#include "store/CLevelDb.h"
#include "common/TextCodec.h"
#include "support/FileSizeLimit.h"
#include "support/GbkText.h"
#include "support/TempDir.h"

namespace {

const std::vector<const char*> kAllKeys = {
    kKeyStyle,        kKeyConnectTimeout,       kKeyTotalTimeout,  kKeyMaxDepth,
    kKeyThreads,      kKeyForbiddenExtensions,  kKeyAutoSaveEnable, kKeyAutoSaveInterval,
    kKeyAutoSaveGzip, kKeyAutoSavePath,         kKeyObeyRobots,    kKeyMinIntervalMs,
    kKeyUserAgent,    kKeyLastmodFromHeader,    kKeySitemapIndex,  kKeyRenderScripts};

// What the database held before the crawl rules existed: the ten original keys.
std::map<std::string, std::string> PairsWithoutCrawlRules(const CSetupManager& setup) {
  std::map<std::string, std::string> pairs;
  setup.SaveToMap(pairs);
  for (const char* key : {kKeyObeyRobots, kKeyMinIntervalMs, kKeyUserAgent, kKeyLastmodFromHeader, kKeySitemapIndex,
                          kKeyRenderScripts, kKeySitemapCanonical, kKeySitemapHreflang, kKeySitemapChangefreq, kKeySitemapPriority,
                          kKeyRemoveParams, kKeyRemoveAllParams, kKeyKeepParams, kKeySkipPatterns, kKeyMaxPages}) {
    pairs.erase(key);
  }
  return pairs;
}

std::string DefaultArchive() {
  std::map<std::string, std::string> pairs;
  CSetupManager setup;
  setup.ResetToDefaults();
  setup.SaveToMap(pairs);
  return pairs.at(kKeyForbiddenExtensions);
}

}  // namespace

TEST(SetupManagerTest, DefaultsHoldFiftyExtensionsInCaseFoldedOrder) {
  CSetupManager setup;
  EXPECT_EQ(setup.defaultExtensions.size(), 50u);
  EXPECT_TRUE(setup.forbiddenExtensions.empty());
  EXPECT_TRUE(setup.autoSavePath.empty());
  setup.forbiddenExtensions.insert(".tmp");
  setup.ResetToDefaults();
  EXPECT_EQ(setup.forbiddenExtensions, setup.defaultExtensions);
  EXPECT_EQ(setup.styleIndex, 0);
  EXPECT_EQ(setup.connectTimeout, 10);
  EXPECT_EQ(setup.totalTimeout, 10);
  EXPECT_EQ(setup.maxDepth, 5);
  EXPECT_EQ(setup.threadCount, std::min(20, 4 * ProcessorCount()));
  EXPECT_EQ(setup.autoSaveEnabled, 1);
  EXPECT_EQ(setup.autoSaveInterval, 180);
  EXPECT_EQ(setup.autoSaveGzip, 1);
  EXPECT_EQ(setup.obeyRobots, 0);
  EXPECT_EQ(setup.minIntervalMs, 0);
  EXPECT_EQ(setup.userAgent, "");
  EXPECT_EQ(setup.lastmodFromHeader, 0);
  EXPECT_EQ(setup.sitemapIndex, 0);
  std::vector<std::string> order(setup.forbiddenExtensions.begin(), setup.forbiddenExtensions.end());
  EXPECT_EQ(order.front(), ".7z");
  EXPECT_EQ(order[1], ".ace");
  EXPECT_EQ(order[order.size() - 2], ".z");
  EXPECT_EQ(order.back(), ".zip");
  EXPECT_FALSE(setup.forbiddenExtensions.insert(".PDF").second);  // ".pdf" is there already
}

TEST(SetupManagerTest, SaveToMapWritesExactTextsAndTheDefaultArchiveIs383Characters) {
  CSetupManager setup;
  setup.ResetToDefaults();
  setup.styleIndex = 7;
  setup.maxDepth = -1;
  setup.autoSavePath = "D:\\out\\";
  std::map<std::string, std::string> pairs;
  setup.SaveToMap(pairs);
  EXPECT_EQ(pairs.size(), SettingsTable().size());
  EXPECT_EQ(pairs.at(kKeyStyle), "7");
  EXPECT_EQ(pairs.at(kKeyAuditSitemap), "0");
  EXPECT_EQ(pairs.at(kKeySitemapLastmodFrom), "start");
  EXPECT_EQ(pairs.at(kKeyConnectTimeout), "10");
  EXPECT_EQ(pairs.at(kKeyTotalTimeout), "10");
  EXPECT_EQ(pairs.at(kKeyMaxDepth), "-1");
  EXPECT_EQ(pairs.at(kKeyAutoSaveInterval), "180");
  EXPECT_EQ(pairs.at(kKeyAutoSavePath), "D:\\out\\");
  EXPECT_EQ(pairs.at(kKeyObeyRobots), "0");
  EXPECT_EQ(pairs.at(kKeyMinIntervalMs), "0");
  EXPECT_EQ(pairs.at(kKeyUserAgent), "");
  EXPECT_EQ(pairs.at(kKeyLastmodFromHeader), "0");
  EXPECT_EQ(pairs.at(kKeySitemapIndex), "0");
  EXPECT_EQ(pairs.at(kKeyRenderScripts), "0");
  EXPECT_EQ(pairs.at(kKeySitemapCanonical), "0");
  EXPECT_EQ(pairs.at(kKeySitemapHreflang), "0");
  EXPECT_EQ(pairs.at(kKeySitemapChangefreq), "daily");
  EXPECT_EQ(pairs.at(kKeySitemapPriority), "0.5");
  EXPECT_EQ(pairs.at(kKeyRemoveParams), "");
  EXPECT_EQ(pairs.at(kKeyMaxPages), "0");
  const std::string& archive = pairs.at(kKeyForbiddenExtensions);
  EXPECT_EQ(archive.size(), 383u);
  EXPECT_EQ(archive.rfind("22 serialization::archive 9 0 0 50 0 3 .7z 4 .ace 4 .asf 4 .avi ", 0), 0u);
  EXPECT_EQ(archive.substr(archive.size() - 12), " 2 .z 4 .zip");

  setup.forbiddenExtensions.clear();  // an empty set is never written
  pairs.clear();
  setup.SaveToMap(pairs);
  EXPECT_EQ(pairs.size(), SettingsTable().size() - 1);
  EXPECT_EQ(pairs.count(kKeyForbiddenExtensions), 0u);
}

TEST(SetupManagerTest, LoadFromMapReadsWhatSaveToMapWrote) {
  CSetupManager a;
  a.ResetToDefaults();
  a.styleIndex = 12;
  a.connectTimeout = 3;
  a.totalTimeout = 5;
  a.maxDepth = 1;
  a.threadCount = 1;
  a.forbiddenExtensions = {".foo", ".BAR", "has space", ""};
  a.autoSaveEnabled = 0;
  a.autoSaveInterval = 60;
  a.autoSaveGzip = 0;
  a.autoSavePath = "网 path/";
  a.obeyRobots = 1;
  a.minIntervalMs = 1500;
  a.userAgent = "VeltroBot/1.0 (网站)";
  a.lastmodFromHeader = 1;
  a.sitemapIndex = 1;
  std::map<std::string, std::string> pairs;
  a.SaveToMap(pairs);
  CSetupManager b;
  b.ResetToDefaults();
  b.LoadFromMap(pairs);
  std::map<std::string, std::string> again;
  b.SaveToMap(again);
  EXPECT_EQ(again, pairs);
  EXPECT_EQ(b.forbiddenExtensions, a.forbiddenExtensions);
  EXPECT_EQ(b.maxDepth, 1);
  EXPECT_EQ(b.minIntervalMs, 1500);
  EXPECT_EQ(b.userAgent, a.userAgent);
}

TEST(SetupManagerTest, EmptyMapGivesEveryDefaultAndNamesNothing) {
  CSetupManager setup;
  setup.ResetToDefaults();
  EXPECT_TRUE(setup.LoadFromMap({}).empty());
  EXPECT_EQ(setup.styleIndex, 0);
  EXPECT_EQ(setup.connectTimeout, 10);
  EXPECT_EQ(setup.totalTimeout, 10);
  EXPECT_EQ(setup.maxDepth, 5);
  EXPECT_EQ(setup.threadCount, std::min(20, 4 * ProcessorCount()));
  EXPECT_EQ(setup.forbiddenExtensions.size(), 50u);
  EXPECT_EQ(setup.autoSaveEnabled, 1);
  EXPECT_EQ(setup.autoSaveInterval, 180);
  EXPECT_EQ(setup.autoSaveGzip, 1);
  EXPECT_EQ(setup.autoSavePath, "");
  EXPECT_EQ(setup.obeyRobots, 0);
  EXPECT_EQ(setup.minIntervalMs, 0);
  EXPECT_EQ(setup.userAgent, "");
  EXPECT_EQ(setup.lastmodFromHeader, 0);
  EXPECT_EQ(setup.sitemapIndex, 0);
}

TEST(SetupManagerTest, CrawlRuleValuesAreReadAsSwitchesAnIntervalInRangeAndASafeUserAgent) {
  auto load = [](const char* key, const std::string& value) {
    CSetupManager setup;
    setup.ResetToDefaults();
    setup.LoadFromMap({{key, value}});
    return setup;
  };
  for (const char* key : {kKeyObeyRobots, kKeyLastmodFromHeader, kKeySitemapIndex, kKeyRenderScripts}) {
    auto flag = [&](const std::string& v) {
      CSetupManager s = load(key, v);
      return key == std::string(kKeyObeyRobots) ? s.obeyRobots
             : key == std::string(kKeyLastmodFromHeader) ? s.lastmodFromHeader
             : key == std::string(kKeyRenderScripts)     ? s.renderScripts
                                                         : s.sitemapIndex;
    };
    EXPECT_EQ(flag("1"), 1) << key;
    // Anything but 0 and 1 is refused and reads as the default, off.
    for (const char* off : {"0", "7", "-1", "", "abc", "99999999999"}) EXPECT_EQ(flag(off), 0) << key << " " << off;
  }
  EXPECT_EQ(load(kKeyMinIntervalMs, "250").minIntervalMs, 250);
  EXPECT_EQ(load(kKeyMinIntervalMs, "60000").minIntervalMs, 60000);
  EXPECT_EQ(load(kKeyMinIntervalMs, "60001").minIntervalMs, 0);
  EXPECT_EQ(load(kKeyMinIntervalMs, "2147483647").minIntervalMs, 0);
  EXPECT_EQ(load(kKeyMinIntervalMs, "-20").minIntervalMs, 0);
  EXPECT_EQ(load(kKeyMinIntervalMs, "1e3").minIntervalMs, 0);
  EXPECT_EQ(load(kKeyUserAgent, " Bot/1.0\r\nX-Evil: 1 ").userAgent, "Bot/1.0X-Evil: 1");
  EXPECT_EQ(load(kKeyUserAgent, std::string("A\0B\tC\x7f", 6)).userAgent, "ABC");
}

TEST(SetupManagerTest, ReadIntSettingAcceptsOnlyASignAndDigitsWithin32Bits) {
  EXPECT_EQ(ReadIntSetting("0"), 0);
  EXPECT_EQ(ReadIntSetting("+42"), 42);
  EXPECT_EQ(ReadIntSetting("-5"), -5);
  EXPECT_EQ(ReadIntSetting("2147483647"), 2147483647);
  EXPECT_EQ(ReadIntSetting("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "abc", "-", "+", "2147483648", "99999999999", " 5", "5 ", "1e3", "0x10",
                          "12a", "--1", "99999999999999999999999999"}) {
    EXPECT_EQ(ReadIntSetting(bad), -1) << bad;
  }
}

// Every key with every kind of damaged value: it reads as its default and is named (a free
// text is kept as its reader makes it safe); nothing else changes.
TEST(SetupManagerTest, GarbageValuesForEveryKeyLoadAsTheDefaultAndAreNamed) {
  const std::string archive = DefaultArchive();
  const std::vector<std::string> garbage = {
      "abc", "99999999999", "-5", "13", "1000", archive.substr(0, 30), archive.substr(0, 50),
      "22 serialization::archive 9 0 0 18446744073709551615 0 3 .7z",
      "22 serialization::archive 9 0 0 4000000000 0 9999999999 .7z",
      "22 serialization::archive 99 0 0 1 0 3 .7z", std::string(1000, '9'), std::string("\0\xff", 2)};
  CSetupManager defaults;
  defaults.ResetToDefaults();
  std::map<std::string, std::string> good;
  defaults.SaveToMap(good);
  for (const SettingRow& row : SettingsTable()) {
    for (const auto& value : garbage) {
      SCOPED_TRACE(std::string(row.key) + " = " + value.substr(0, 60));
      std::map<std::string, std::string> pairs = good;
      pairs[row.key] = value;
      CSetupManager setup;
      const std::vector<std::string> named = setup.LoadFromMap(pairs);
      std::map<std::string, std::string> loaded;
      setup.SaveToMap(loaded);
      for (const SettingRow& other : SettingsTable())
        if (&other != &row) EXPECT_EQ(loaded[other.key], good[other.key]) << other.key;
      std::string kept, problem;
      // A text or list the row's reader takes is kept as it makes it; one it refuses is named.
      if ((row.kind == SettingKind::Text || row.kind == SettingKind::List) && row.read(value, kept, problem)) {
        row.read(value, kept, problem);
        EXPECT_EQ(SettingText(setup, row), kept);
        EXPECT_TRUE(named.empty());
      } else if (row.kind == SettingKind::Number && value == "13" && row.min <= 13 && row.max >= 13) {
        EXPECT_EQ(SettingText(setup, row), "13");
        EXPECT_TRUE(named.empty());
      } else if (row.kind == SettingKind::Number && value == "1000" && row.min <= 1000 && row.max >= 1000) {
        EXPECT_EQ(SettingText(setup, row), "1000");
        EXPECT_TRUE(named.empty());
      } else {
        EXPECT_EQ(SettingText(setup, row), DefaultSettingText(row));
        EXPECT_EQ(named, std::vector<std::string>{row.key});
      }
    }
  }
}

TEST(SetupManagerTest, AStoredValueOutsideItsRangeIsNamedButAnAbsentOneOrAnOldMinusOneIsNot) {
  auto named = [](const char* key, const std::string& value) {
    CSetupManager setup;
    return setup.LoadFromMap({{key, value}});
  };
  const std::vector<std::string> depth{kKeyMaxDepth};
  EXPECT_EQ(named(kKeyMaxDepth, "0"), depth);
  EXPECT_EQ(named(kKeyMaxDepth, "1000"), depth);
  EXPECT_TRUE(named(kKeyMaxDepth, "999").empty());
  EXPECT_EQ(named(kKeyThreads, "21"), std::vector<std::string>{kKeyThreads});
  EXPECT_EQ(named(kKeyAutoSaveInterval, "0"), std::vector<std::string>{kKeyAutoSaveInterval});
  EXPECT_EQ(named(kKeyAutoSaveInterval, "3601"), std::vector<std::string>{kKeyAutoSaveInterval});
  EXPECT_EQ(named(kKeyMinIntervalMs, "60001"), std::vector<std::string>{kKeyMinIntervalMs});
  EXPECT_EQ(named(kKeyStyle, "13"), std::vector<std::string>{kKeyStyle});
  // What an older program stored for values it could not read, and its "on".
  EXPECT_TRUE(named(kKeyConnectTimeout, "-1").empty());
  EXPECT_TRUE(named(kKeyStyle, "-1").empty());
  EXPECT_TRUE(named(kKeyAutoSaveEnable, "-1").empty());
  CSetupManager setup;
  setup.LoadFromMap({{kKeyAutoSaveEnable, "-1"}, {kKeyAutoSaveGzip, "-1"}, {kKeyTotalTimeout, "-1"}});
  EXPECT_EQ(setup.autoSaveEnabled, 1);
  EXPECT_EQ(setup.autoSaveGzip, 1);
  EXPECT_EQ(setup.totalTimeout, 10);
}

TEST(SetupManagerTest, APasswordIsStoredOnlyWhenRememberedAndTheOldUnusedTimeoutsAreNotRead) {
  CSetupManager setup;
  setup.ResetToDefaults();
  setup.credentials = "alice:s3cret";
  std::map<std::string, std::string> pairs;
  setup.SaveToMap(pairs);
  EXPECT_EQ(pairs.at(kKeyCredentials), "alice");
  EXPECT_EQ(setup.credentials, "alice:s3cret");  // the run keeps it in memory
  setup.rememberPassword = 1;
  setup.SaveToMap(pairs);
  EXPECT_EQ(pairs.at(kKeyCredentials), "alice:s3cret");

  // Every older database holds a total time-out of 60 that no request used: it stays unused.
  CSetupManager loaded;
  EXPECT_TRUE(loaded.LoadFromMap({{"keysetupmanager_total_timeout", "60"}, {"keysetupmanager_conn_timeout", "10"}}).empty());
  EXPECT_EQ(loaded.totalTimeout, 10);
  const CrawlStartParams params = CrawlStartParamsOf(loaded);
  ASSERT_TRUE(params.httpOptions.has_value());
  EXPECT_EQ(params.httpOptions->totalTimeout, 10);
  EXPECT_EQ(params.httpOptions->connectTimeout, 10);
  EXPECT_TRUE(params.httpOptions->verifyTls);
  EXPECT_TRUE(params.httpOptions->user.empty());
  EXPECT_EQ(params.maxRate, 0);
}

TEST(SetupManagerTest, ADamagedExtensionArchiveLoadsTheDefaultListWhereverTheDamageIs) {
  const std::string archive = DefaultArchive();
  auto load = [](const std::string& value) {
    CSetupManager setup;
    setup.ResetToDefaults();
    setup.LoadFromMap({{kKeyForbiddenExtensions, value}});
    return std::vector<std::string>(setup.forbiddenExtensions.begin(), setup.forbiddenExtensions.end());
  };
  for (const std::string& v : {std::string("abc"), std::string("99999999999"), std::string("-5"),
                               archive.substr(0, 20), archive.substr(0, 29), archive.substr(0, 31),
                               archive.substr(0, 48), archive.substr(0, 49),
                               std::string("22 serialization::archive 10 0 0 1 0 3 .7z"),
                               std::string("21 serialization::archiv 9 0 0 1 0 3 .7z"),
                               std::string("22 serialization::archive 9 0 0 4000000000 0 3 .7z 4 .ace"),
                               std::string("22 serialization::archive 9 0 0 2 0 3 .7z 900000000 .ace")}) {
    EXPECT_EQ(load(v).size(), 50u) << v;
  }
  EXPECT_EQ(load("22 serialization::archive 9 0 0 0 0"), std::vector<std::string>{});
  EXPECT_EQ(load("22 serialization::archive 9 0 0 3 0 4 .PDF 4 .pdf 4 .Doc"),
            (std::vector<std::string>{".Doc", ".PDF"}));
}

TEST(SettingsPersistenceTest, FirstStartCreatesTheDatabaseAndSettingsRoundTrip) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  {
    CSetupManager setup;
    CLevelDb db;
    ASSERT_TRUE(LoadSettings(&setup, &db).ok());
    EXPECT_TRUE(std::filesystem::is_directory("db/sitemap/setup"));
    EXPECT_EQ(setup.connectTimeout, 10);
    EXPECT_EQ(setup.autoSaveEnabled, 1);
    EXPECT_EQ(setup.forbiddenExtensions.size(), 50u);
    EXPECT_EQ(setup.threadCount, std::min(20, 4 * ProcessorCount()));
    SaveSettings(&setup, &db);
    std::string stored;
    ASSERT_TRUE(db.Get(kKeyTotalTimeout, &stored).ok());
    EXPECT_EQ(stored, "10");
    ASSERT_TRUE(db.Get(kKeyAutoSaveGzip, &stored).ok());
    EXPECT_EQ(stored, "1");
    ASSERT_TRUE(db.Put("someone_elses_key", "kept").ok());
    setup.maxDepth = 9;
    setup.autoSavePath = "out/";
    setup.forbiddenExtensions = {".x"};
    SaveSettings(&setup, &db);
  }
  {
    CSetupManager setup;
    CLevelDb db;
    ASSERT_TRUE(LoadSettings(&setup, &db).ok());
    EXPECT_EQ(setup.maxDepth, 9);
    EXPECT_EQ(setup.autoSavePath, "out/");
    EXPECT_EQ(setup.forbiddenExtensions, StringISet{".x"});
    setup.forbiddenExtensions.clear();  // not written: the stored list comes back next time
    SaveSettings(&setup, &db);
    std::string other;
    EXPECT_TRUE(db.Get("someone_elses_key", &other).ok());
    EXPECT_EQ(other, "kept");
  }
  CSetupManager setup;
  CLevelDb db;
  ASSERT_TRUE(LoadSettings(&setup, &db).ok());
  EXPECT_EQ(setup.forbiddenExtensions, StringISet{".x"});
}

TEST(SettingsPersistenceTest, GarbageStoredInTheDatabaseLoadsAsDefaultsAndIsNamed) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(kSettingsDbPath).ok());
    std::map<std::string, std::string> pairs;
    for (const char* key : kAllKeys) pairs[key] = "abc";
    pairs[kKeyThreads] = "";
    pairs[kKeyMaxDepth] = "0";
    pairs[kKeyForbiddenExtensions] = "22 serialization::archive 9 0 0 4294967295 0 3 .7z";
    ASSERT_TRUE(db.WriteAll(pairs).ok());
  }
  CSetupManager setup;
  CLevelDb db;
  std::vector<std::string> named;
  ASSERT_TRUE(LoadSettings(&setup, &db, &named).ok());
  EXPECT_EQ(setup.threadCount, std::min(20, 4 * ProcessorCount()));
  EXPECT_EQ(setup.maxDepth, 5);
  EXPECT_EQ(setup.styleIndex, 0);
  EXPECT_EQ(setup.autoSaveInterval, 180);
  EXPECT_EQ(setup.autoSaveEnabled, 1);
  EXPECT_EQ(setup.autoSavePath, "abc");
  EXPECT_EQ(setup.forbiddenExtensions.size(), 50u);
  EXPECT_NE(std::find(named.begin(), named.end(), kKeyMaxDepth), named.end());
  EXPECT_EQ(std::find(named.begin(), named.end(), kKeyThreads), named.end());  // empty: absent
  EXPECT_NE(ReplacedSettingsMessage(named).find("最大深度"), std::string::npos);
}

TEST(SettingsPersistenceTest, ADatabaseWrittenInGbkLoadsAsUtf8AndIsSavedBackInUtf8) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  const std::string gbkPath = GbkOf("/home/用户/网站地图/");
  const std::string gbkAgent = GbkOf("蜘蛛/2.0");
  ASSERT_FALSE(IsValidUtf8(gbkPath));
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(kSettingsDbPath).ok());
    StringISet extensions{GbkOf(".文档"), ".zip"};
    std::string archive;
    ASSERT_TRUE(WriteExtensionArchive(extensions, archive));
    ASSERT_TRUE(
        db.WriteAll({{kKeyAutoSavePath, gbkPath}, {kKeyUserAgent, gbkAgent}, {kKeyForbiddenExtensions, archive}}).ok());
  }
  CSetupManager setup;
  {
    CLevelDb db;
    ASSERT_TRUE(LoadSettings(&setup, &db).ok());
    EXPECT_EQ(setup.autoSavePath, "/home/用户/网站地图/");
    EXPECT_EQ(setup.userAgent, "蜘蛛/2.0");
    EXPECT_EQ(setup.forbiddenExtensions, (StringISet{".文档", ".zip"}));
    ASSERT_TRUE(SaveSettings(&setup, &db).ok());
  }
  CLevelDb db;
  ASSERT_TRUE(db.Open(kSettingsDbPath).ok());
  std::map<std::string, std::string> stored;
  db.ReadAll(stored);
  EXPECT_EQ(stored[kKeyAutoSavePath], "/home/用户/网站地图/");
  EXPECT_EQ(stored[kKeyUserAgent], "蜘蛛/2.0");
}

TEST(SettingsPersistenceTest, UnopenableDatabaseKeepsEveryDefaultAndItsSaveSaysWhyNothingWasSaved) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  std::filesystem::create_directories("db/sitemap");
  { std::ofstream blocker("db/sitemap/setup"); blocker << "a file where the folder should be"; }
  CSetupManager setup;
  CLevelDb db;
  EXPECT_EQ(LoadSettings(&setup, &db).code(), StatusCode::kDbOpen);
  EXPECT_EQ(setup.autoSaveEnabled, 1);
  EXPECT_EQ(setup.connectTimeout, 10);
  EXPECT_EQ(setup.totalTimeout, 10);
  EXPECT_EQ(setup.forbiddenExtensions.size(), 50u);
  EXPECT_EQ(SaveSettings(&setup, &db).code(), StatusCode::kNotOpen);  // closed database: nothing is written
  std::string message = SettingsSaveFailureMessage(StatusCode::kNotOpen, &db);
  EXPECT_NE(message.find("设置没有保存"), std::string::npos);
  EXPECT_NE(message.find((std::filesystem::current_path() / "db/sitemap/setup").string()), std::string::npos);
  ASSERT_FALSE(db.lastError().empty());
  EXPECT_NE(message.find(db.lastError()), std::string::npos);
  EXPECT_EQ(SettingsSaveFailureMessage(Status(), &db), "");
  EXPECT_EQ(LoadSettings(nullptr, &db).code(), StatusCode::kMissing);
  EXPECT_EQ(LoadSettings(&setup, nullptr).code(), StatusCode::kMissing);
  EXPECT_EQ(SaveSettings(nullptr, nullptr).code(), StatusCode::kMissing);
}

// leveldb refusing the batch (here: its log may not grow) is reported with leveldb's words,
// and what was stored before stays readable.
TEST(SettingsPersistenceTest, ARefusedWriteIsReportedAndTheStoredSettingsStay) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  {
    CSetupManager setup;
    CLevelDb db;
    ASSERT_TRUE(LoadSettings(&setup, &db).ok());
    setup.maxDepth = 7;
    ASSERT_TRUE(SaveSettings(&setup, &db).ok());
  }
  LimitedRun run = RunWithFileSizeLimit(1024 * 1024, [] {
    CSetupManager setup;
    CLevelDb db;
    if (!LoadSettings(&setup, &db).ok()) return std::string("not loaded");
    LimitFileSizeOfThisProcess(16);  // the open database's files may not grow any more
    setup.maxDepth = 9;
    setup.autoSavePath = std::string(4096, 'p');
    const Status saved = SaveSettings(&setup, &db);
    return std::string(StatusCodeName(saved.code())) + "|" + SettingsSaveFailureMessage(saved, &db);
  });
  ASSERT_TRUE(run.finished) << run.report;
  const size_t bar = run.report.find('|');
  ASSERT_NE(bar, std::string::npos) << run.report;
  EXPECT_EQ(run.report.substr(0, bar), "DbWrite");
  EXPECT_NE(run.report.find("拒绝写入"), std::string::npos) << run.report;
  EXPECT_NE(run.report.find("File too large"), std::string::npos) << run.report;

  CSetupManager stored;
  CLevelDb db;
  ASSERT_TRUE(LoadSettings(&stored, &db).ok());
  EXPECT_EQ(stored.maxDepth, 7);
}

TEST(SettingsPersistenceTest, DatabaseFromBeforeTheCrawlRulesLoadsThemOffAndGainsTheirKeysAtSave) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  CSetupManager old;
  old.ResetToDefaults();
  old.autoSavePath = "old/";
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(kSettingsDbPath).ok());
    ASSERT_TRUE(db.WriteAll(PairsWithoutCrawlRules(old)).ok());
  }
  CSetupManager setup;
  CLevelDb db;
  ASSERT_TRUE(LoadSettings(&setup, &db).ok());
  EXPECT_EQ(setup.autoSavePath, "old/");
  EXPECT_EQ(setup.obeyRobots, 0);
  EXPECT_EQ(setup.minIntervalMs, 0);
  EXPECT_EQ(setup.userAgent, "");
  EXPECT_EQ(setup.lastmodFromHeader, 0);
  EXPECT_EQ(setup.sitemapIndex, 0);
  EXPECT_EQ(setup.renderScripts, 0);
  EXPECT_EQ(setup.sitemapCanonical, 0);
  EXPECT_EQ(setup.sitemapHreflang, 0);
  EXPECT_EQ(setup.sitemapChangefreq, "daily");
  EXPECT_EQ(setup.sitemapPriority, "0.5");
  setup.minIntervalMs = 750;
  setup.userAgent = "VeltroBot/2";
  SaveSettings(&setup, &db);
  std::map<std::string, std::string> stored;
  db.ReadAll(stored);
  EXPECT_EQ(stored.size(), SettingsTable().size() + 1);  // every setting and the stored form's version
  EXPECT_EQ(stored[kKeyRenderScripts], "0");
  EXPECT_EQ(stored[kKeySitemapPriority], "0.5");
  EXPECT_EQ(stored[kKeyMinIntervalMs], "750");
  EXPECT_EQ(stored[kKeyUserAgent], "VeltroBot/2");
  EXPECT_EQ(stored[kKeyObeyRobots], "0");
  EXPECT_EQ(stored[kKeyAutoSavePath], "old/");
}

TEST(SetupManagerTest, SitemapContentRoundTripsAndUnreadableChangefreqOrPriorityLoadsTheDefault) {
  CSetupManager setup;
  std::map<std::string, std::string> pairs;
  setup.SaveToMap(pairs);
  pairs[kKeySitemapCanonical] = "1";
  pairs[kKeySitemapHreflang] = "1";
  pairs[kKeySitemapChangefreq] = " weekly ";
  pairs[kKeySitemapPriority] = "1.0, 0.8,0.6";
  CSetupManager loaded;
  loaded.LoadFromMap(pairs);
  const SitemapContent content = CrawlStartParamsOf(loaded).sitemap;
  EXPECT_TRUE(content.canonicalOnly);
  EXPECT_TRUE(content.languageAlternates);
  EXPECT_EQ(content.changefreq, "weekly");
  EXPECT_EQ(content.priorities, (std::vector<std::string>{"1.0", "0.8", "0.6"}));
  EXPECT_EQ(loaded.sitemapPriority, "1.0,0.8,0.6");

  pairs[kKeySitemapChangefreq] = "none";
  pairs[kKeySitemapPriority] = "none";
  loaded.LoadFromMap(pairs);
  EXPECT_EQ(CrawlStartParamsOf(loaded).sitemap.changefreq, "");
  EXPECT_TRUE(CrawlStartParamsOf(loaded).sitemap.priorities.empty());

  pairs[kKeySitemapChangefreq] = "sometimes";  // a damaged or foreign value
  pairs[kKeySitemapPriority] = "1.5";
  loaded.LoadFromMap(pairs);
  EXPECT_EQ(loaded.sitemapChangefreq, "daily");
  EXPECT_EQ(loaded.sitemapPriority, "0.5");
}

TEST(SettingsPersistenceTest, ADatabaseOfANewerProgramIsReadButNeverRewritten) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  {
    CLevelDb db;
    ASSERT_TRUE(db.Open(kSettingsDbPath).ok());
    ASSERT_TRUE(db.WriteAll({{kKeySettingsFormat, "3"}, {kKeyMaxDepth, "8"}, {"a_newer_key", "x"}}).ok());
  }
  CSetupManager setup;
  CLevelDb db;
  ASSERT_EQ(LoadSettings(&setup, &db).code(), StatusCode::kNewerFormat);
  EXPECT_EQ(setup.maxDepth, 8);
  setup.maxDepth = 2;
  EXPECT_EQ(SaveSettings(&setup, &db).code(), StatusCode::kNewerFormat);
  EXPECT_NE(SettingsSaveFailureMessage(StatusCode::kNewerFormat, &db).find("较新版本"), std::string::npos);
  std::map<std::string, std::string> stored;
  db.ReadAll(stored);
  EXPECT_EQ(stored, (std::map<std::string, std::string>{
                        {kKeySettingsFormat, "3"}, {kKeyMaxDepth, "8"}, {"a_newer_key", "x"}}));
}
