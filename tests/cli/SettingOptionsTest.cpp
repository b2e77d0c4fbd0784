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
#include "support/SettingSamples.h"
#include "support/TempDir.h"

namespace {

CSetupManager Defaults() {
  CSetupManager setup;
  setup.ResetToDefaults();
  return setup;
}

bool DifferInConnection(const CrawlStartParams& a, const CrawlStartParams& b) {
  if (a.maxRate != b.maxRate || a.httpOptions.has_value() != b.httpOptions.has_value()) return true;
  if (!a.httpOptions) return false;
  const http_options& x = *a.httpOptions;
  const http_options& y = *b.httpOptions;
  return x.totalTimeout != y.totalTimeout || x.connectTimeout != y.connectTimeout || x.user != y.user ||
         x.password != y.password || x.headers != y.headers || x.cookieFile != y.cookieFile || x.proxy != y.proxy ||
         x.ignoreProxyEnvironment != y.ignoreProxyEnvironment || x.caFile != y.caFile || x.verifyTls != y.verifyTls;
}

bool DifferInSettings(const CrawlStartParams& a, const CrawlStartParams& b) {
  return a.maxDepth != b.maxDepth || a.threadCount != b.threadCount ||
         a.forbiddenExtensions != b.forbiddenExtensions || !(a.rules == b.rules) || !(a.sitemap == b.sitemap) ||
         DifferInConnection(a, b);
}

}  // namespace

TEST(SettingOptionsTest, EverySettingThatShapesACrawlChangesTheStartRecordAndNoOtherDoes) {
  const CrawlStartParams plain = CrawlStartParamsOf(Defaults());
  for (const SettingRow& row : SettingsTable()) {
    SCOPED_TRACE(row.key);
    auto sample = SettingSamples().find(row.key);
    if (!row.shapesCrawl) {
      EXPECT_EQ(sample, SettingSamples().end()) << "a sample for a setting that does not shape a crawl";
      continue;
    }
    ASSERT_NE(sample, SettingSamples().end()) << "a setting of the start record needs a sample here";
    // The command can ask for each one (the file types stay the window's).
    if (row.kind != SettingKind::Types) EXPECT_NE(row.option.name, nullptr) << "the command has no option for it";
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
    if (!row.shapesCrawl) continue;  // what the command does beyond the crawl is tested where it does it
    auto sample = SettingSamples().find(row.key);
    ASSERT_NE(sample, SettingSamples().end());
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
    ExpectSameConnection(CrawlStartParamsOf(fromCommand), CrawlStartParamsOf(fromWindow));
  }
}

TEST(SettingOptionsTest, TheJournalKeepsEverySettingOfTheStartRecord) {
  CSetupManager setup = Defaults();
  ASSERT_TRUE(SetEverySample(setup));
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
    ASSERT_TRUE(journal.Begin(params, origin).ok());
    journal.Admitted("/", "", 0, CrawlJournal::Admission::Waiting, false);
    journal.Close(false);
  }
  const JournalSummary found = CrawlJournal::Inspect(path, params.startUrl);
  ASSERT_EQ(found.status, JournalSummary::Status::Unfinished) << found.detail;
  ExpectSameSettings(found.params, params);
}
