// Every setting of the settings table reaches a crawl's start record the same way from the
// window's settings and from the command's options, and the journal keeps it for a resume.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "crawl/CrawlJournal.h"
#include "settings/CSetupManager.h"
#include "settings/CrawlStartParamsOf.h"
#include "settings/SettingsTable.h"
#include "support/TempDir.h"

namespace {

// A value other than the default for each setting that shapes a crawl, as stored, and the
// command's arguments that ask for the same (none where the command has no option).
struct Sample {
  std::string stored;
  std::vector<std::string> args;
};

std::string TypesArchive(const StringISet& types) {
  std::string text;
  WriteExtensionArchive(types, text);
  return text;
}

const std::map<std::string, Sample>& Samples() {
  static const std::map<std::string, Sample> samples = {
      {kKeyMaxDepth, {"7", {"-d", "7"}}},
      {kKeyThreads, {"3", {"--threads=3"}}},
      {kKeyForbiddenExtensions, {TypesArchive({".foo", ".bar"}), {}}},
      {kKeyObeyRobots, {"1", {"--robots"}}},
      {kKeyMinIntervalMs, {"250", {"--delay", "250"}}},
      {kKeyUserAgent, {"VeltroBot/2.0", {"--user-agent", "VeltroBot/2.0"}}},
      {kKeyLastmodFromHeader, {"1", {"--lastmod"}}},
      {kKeySitemapIndex, {"1", {"--index"}}},
      {kKeyRenderScripts, {"1", {"--render"}}},
      {kKeySitemapCanonical, {"1", {"--canonical"}}},
      {kKeySitemapHreflang, {"1", {"--hreflang"}}},
      {kKeySitemapChangefreq, {"weekly", {"--changefreq", "weekly"}}},
      {kKeySitemapPriority, {"1.0,0.8,0.6", {"--priority", "1.0,0.8,0.6"}}},
  };
  return samples;
}

CSetupManager Defaults() {
  CSetupManager setup;
  setup.ResetToDefaults();
  return setup;
}

// The settings part of two start records is the same.
void ExpectSameSettings(const CrawlStartParams& a, const CrawlStartParams& b) {
  EXPECT_EQ(a.startUrl, b.startUrl);
  EXPECT_EQ(a.maxDepth, b.maxDepth);
  EXPECT_EQ(a.threadCount, b.threadCount);
  EXPECT_EQ(a.forbiddenExtensions, b.forbiddenExtensions);
  EXPECT_TRUE(a.rules == b.rules);
  EXPECT_TRUE(a.sitemap == b.sitemap);
  EXPECT_EQ(a.includePatterns, b.includePatterns);
  EXPECT_EQ(a.excludePatterns, b.excludePatterns);
}

bool DifferInSettings(const CrawlStartParams& a, const CrawlStartParams& b) {
  return a.maxDepth != b.maxDepth || a.threadCount != b.threadCount ||
         a.forbiddenExtensions != b.forbiddenExtensions || !(a.rules == b.rules) || !(a.sitemap == b.sitemap);
}

}  // namespace

TEST(SettingOptionsTest, EverySettingThatShapesACrawlChangesTheStartRecordAndNoOtherDoes) {
  const CrawlStartParams plain = CrawlStartParamsOf(Defaults());
  for (const SettingRow& row : SettingsTable()) {
    SCOPED_TRACE(row.key);
    auto sample = Samples().find(row.key);
    if (!row.shapesCrawl) {
      EXPECT_EQ(sample, Samples().end()) << "a sample for a setting that does not shape a crawl";
      continue;
    }
    ASSERT_NE(sample, Samples().end()) << "a setting of the start record needs a sample here";
    CSetupManager setup = Defaults();
    ASSERT_TRUE(SetSettingText(setup, row, sample->second.stored));
    EXPECT_NE(SettingText(setup, row), DefaultSettingText(row));
    EXPECT_TRUE(DifferInSettings(CrawlStartParamsOf(setup), plain)) << "the start record does not carry it";
  }
}

TEST(SettingOptionsTest, EachOptionOfTheCommandGivesWhatTheSameSettingGivesTheWindow) {
  const std::string help = CliUsageText();
  for (const SettingRow& row : SettingsTable()) {
    if (!row.option.name) continue;
    SCOPED_TRACE(row.key);
    EXPECT_NE(help.find(row.option.name), std::string::npos) << "not in --help";
    auto sample = Samples().find(row.key);
    ASSERT_NE(sample, Samples().end());
    ASSERT_FALSE(sample->second.args.empty());
    std::vector<std::string> args = sample->second.args;
    args.push_back("example.com");
    CliParseOutcome parsed = ParseCliOptions(args);
    ASSERT_EQ(parsed.status, CliParseStatus::Run) << parsed.message;
    CSetupManager fromCommand = Defaults();
    ApplySettingOptions(parsed.options, fromCommand);
    CSetupManager fromWindow = Defaults();
    ASSERT_TRUE(SetSettingText(fromWindow, row, sample->second.stored));
    ExpectSameSettings(CrawlStartParamsOf(fromCommand), CrawlStartParamsOf(fromWindow));
  }
}

TEST(SettingOptionsTest, TheJournalKeepsEverySettingOfTheStartRecord) {
  CSetupManager setup = Defaults();
  for (const auto& [key, sample] : Samples()) ASSERT_TRUE(SetSettingText(setup, *FindSetting(key), sample.stored));
  CrawlStartParams params = CrawlStartParamsOf(setup);
  params.startUrl = "http://127.0.0.1:8/";
  params.includePatterns = {"*html"};
  params.excludePatterns = {"*draft*", "*old*"};
  TempDir dir;
  const std::string path = (dir.path() / "journal").string();
  {
    CrawlJournal journal(path);
    SiteOrigin origin;
    origin.scheme = "http";
    origin.host = "127.0.0.1";
    origin.port = "8";
    ASSERT_EQ(journal.Begin(params, origin), 0);
    journal.Admitted("/", "", 0, CrawlJournal::Admission::Waiting, false);
    journal.Close(false);
  }
  const JournalSummary found = CrawlJournal::Inspect(path, params.startUrl);
  ASSERT_EQ(found.status, JournalSummary::Status::Unfinished) << found.detail;
  ExpectSameSettings(found.params, params);
}
