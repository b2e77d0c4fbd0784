#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/CliOptions.h"
#include "cli/OutputFolder.h"
#include "settings/CSetupManager.h"
#include "support/TempDir.h"

namespace {

CliParseOutcome Parse(std::vector<std::string> args) { return ParseCliOptions(args); }

void ExpectUsageError(std::vector<std::string> args, const std::string& mentioned) {
  CliParseOutcome outcome = Parse(args);
  EXPECT_EQ(outcome.status, CliParseStatus::UsageError) << mentioned;
  EXPECT_NE(outcome.message.find(mentioned), std::string::npos) << outcome.message;
}

}  // namespace

TEST(CliOptionsTest, AddressAloneKeepsEveryDefault) {
  CliParseOutcome outcome = Parse({"http://example.com/a"});
  ASSERT_EQ(outcome.status, CliParseStatus::Run);
  const CliOptions& o = outcome.options;
  EXPECT_EQ(o.urls, std::vector<std::string>{"http://example.com/a"});
  EXPECT_TRUE(o.settings.empty());
  EXPECT_TRUE(o.includePatterns.empty());
  EXPECT_TRUE(o.excludePatterns.empty());
  EXPECT_EQ(o.outDir, ".");
  EXPECT_FALSE(o.plain);
  EXPECT_FALSE(o.quiet);
}

TEST(CliOptionsTest, ShortLongAndEqualsFormsAllSetTheirValues) {
  CliParseOutcome outcome = Parse({"-d", "3", "--threads", "12", "-i", "*html", "--include=fid", "-e", "a b",
                                   "--exclude", "x", "-o", "out dir", "--plain", "-q", "example.com"});
  ASSERT_EQ(outcome.status, CliParseStatus::Run) << outcome.message;
  const CliOptions& o = outcome.options;
  EXPECT_EQ(o.Setting(kKeyMaxDepth), "3");
  EXPECT_EQ(o.Setting(kKeyThreads), "12");
  EXPECT_EQ(o.includePatterns, (std::vector<std::string>{"*html", "fid"}));
  EXPECT_EQ(o.excludePatterns, (std::vector<std::string>{"a b", "x"}));
  EXPECT_EQ(o.outDir, "out dir");
  EXPECT_TRUE(o.plain);
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.urls, std::vector<std::string>{"example.com"});

  CliParseOutcome longForms = Parse({"--depth=0", "--out=o", "--quiet", "--threads=+1", "u.com"});
  ASSERT_EQ(longForms.status, CliParseStatus::Run) << longForms.message;
  EXPECT_EQ(longForms.options.Setting(kKeyMaxDepth), "0");
  EXPECT_EQ(longForms.options.Setting(kKeyThreads), "1");
  EXPECT_EQ(longForms.options.outDir, "o");
}

TEST(CliOptionsTest, ValuesMayStartWithADashAndDoubleDashEndsOptions) {
  CliParseOutcome outcome = Parse({"-e", "-draft", "--", "-weird.example.com"});
  ASSERT_EQ(outcome.status, CliParseStatus::Run) << outcome.message;
  EXPECT_EQ(outcome.options.excludePatterns, (std::vector<std::string>{"-draft"}));
  EXPECT_EQ(outcome.options.urls, std::vector<std::string>{"-weird.example.com"});
}

TEST(CliOptionsTest, HelpWinsWhereverItStands) {
  EXPECT_EQ(Parse({"-h"}).status, CliParseStatus::Help);
  EXPECT_EQ(Parse({"example.com", "--help"}).status, CliParseStatus::Help);
  EXPECT_NE(CliUsageText().find("--depth"), std::string::npos);
}

TEST(CliOptionsTest, UnknownOptionsAndMissingValuesAreUsageErrors) {
  ExpectUsageError({"--frobnicate", "example.com"}, "--frobnicate");
  ExpectUsageError({"-x", "example.com"}, "-x");
  ExpectUsageError({"-", "example.com"}, "'-'");
  ExpectUsageError({"example.com", "-d"}, "-d");
  ExpectUsageError({"example.com", "--threads"}, "--threads");
  ExpectUsageError({"example.com", "-o"}, "-o");
  ExpectUsageError({"example.com", "-i"}, "-i");
  ExpectUsageError({"--plain=yes", "example.com"}, "takes no value");
  ExpectUsageError({"-o", "", "example.com"}, "empty folder");
}

TEST(CliOptionsTest, DepthAndThreadsMustBeWholeNumbersInRange) {
  ExpectUsageError({"-d", "abc", "example.com"}, "invalid depth 'abc'");
  ExpectUsageError({"-d", "-1", "example.com"}, "invalid depth '-1'");
  ExpectUsageError({"-d", "3.5", "example.com"}, "invalid depth");
  ExpectUsageError({"-d", "", "example.com"}, "invalid depth");
  ExpectUsageError({"--depth=2147483648", "example.com"}, "invalid depth");
  ExpectUsageError({"-t", "four", "example.com"}, "invalid thread count 'four'");
  ExpectUsageError({"-t", "0", "example.com"}, "invalid thread count '0'");
  ExpectUsageError({"-t", "257", "example.com"}, "invalid thread count");
  ExpectUsageError({"-t", "99999999999999999999", "example.com"}, "invalid thread count");
  EXPECT_EQ(Parse({"-d", "2147483647", "-t", "256", "example.com"}).status, CliParseStatus::Run);
}

TEST(CliOptionsTest, OneAddressOrMoreIsNeededAndEachIsKeptInOrder) {
  ExpectUsageError({}, "no start address");
  ExpectUsageError({"-q"}, "no start address");
  EXPECT_EQ(Parse({"a.com", "-q", "b.com:81"}).options.urls, (std::vector<std::string>{"a.com", "b.com:81"}));
}

TEST(OutputFolderTest, MissingFoldersAreCreatedAndExistingOnesAccepted) {
  TempDir temp;
  std::string problem;
  std::filesystem::path nested = temp.path() / "a" / "b";
  ASSERT_TRUE(PrepareOutputFolder(nested.string(), problem)) << problem;
  EXPECT_TRUE(std::filesystem::is_directory(nested));
  EXPECT_TRUE(PrepareOutputFolder(nested.string(), problem)) << problem;
  EXPECT_TRUE(std::filesystem::is_empty(nested));  // the write check leaves nothing behind
}

TEST(OutputFolderTest, AFileInTheWayOrAFolderBelowAFileIsRefused) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "plain-file";
  std::ofstream(file) << "x";
  std::string problem;
  EXPECT_FALSE(PrepareOutputFolder(file.string(), problem));
  EXPECT_NE(problem.find("not a folder"), std::string::npos) << problem;
  problem.clear();
  EXPECT_FALSE(PrepareOutputFolder((file / "sub").string(), problem));
  EXPECT_FALSE(problem.empty());
}

TEST(OutputFolderTest, AReadOnlyFolderIsRefused) {
  if (geteuid() == 0) {
    // Root writes anywhere a mode allows nothing; /proc refuses everyone.
    std::string problem;
    EXPECT_FALSE(PrepareOutputFolder("/proc/veltro-no-such-folder", problem));
    EXPECT_FALSE(problem.empty());
    return;
  }
  TempDir temp;
  std::filesystem::permissions(temp.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  std::string problem;
  EXPECT_FALSE(PrepareOutputFolder(temp.str(), problem));
  EXPECT_NE(problem.find("cannot write"), std::string::npos) << problem;
  std::filesystem::permissions(temp.path(), std::filesystem::perms::owner_all);
}

TEST(CliOptionsTest, CrawlRulesAreAbsentUnlessGivenSoTheSettingsDecide) {
  CliParseOutcome plain = Parse({"example.com"});
  ASSERT_EQ(plain.status, CliParseStatus::Run);
  EXPECT_TRUE(plain.options.settings.empty());

  CliParseOutcome all = Parse({"--robots", "--delay", "250", "--user-agent", "VeltroBot/1.0 (+https://a.example/)",
                               "--lastmod", "--index", "example.com"});
  ASSERT_EQ(all.status, CliParseStatus::Run) << all.message;
  EXPECT_EQ(all.options.Setting(kKeyObeyRobots), "1");
  EXPECT_EQ(all.options.Setting(kKeyMinIntervalMs), "250");
  EXPECT_EQ(all.options.Setting(kKeyUserAgent), "VeltroBot/1.0 (+https://a.example/)");
  EXPECT_EQ(all.options.Setting(kKeyLastmodFromHeader), "1");
  EXPECT_EQ(all.options.Setting(kKeySitemapIndex), "1");

  CliParseOutcome equals = Parse({"--delay=0", "--user-agent=", "example.com"});
  ASSERT_EQ(equals.status, CliParseStatus::Run) << equals.message;
  EXPECT_EQ(equals.options.Setting(kKeyMinIntervalMs), "0");
  EXPECT_EQ(equals.options.Setting(kKeyUserAgent), "");  // given empty: no user agent, whatever the settings say
}

TEST(CliOptionsTest, CrawlRuleValuesOutOfRangeOrUnsafeAreUsageErrors) {
  ExpectUsageError({"--delay", "60001", "example.com"}, "invalid delay '60001'");
  ExpectUsageError({"--delay", "-1", "example.com"}, "invalid delay");
  ExpectUsageError({"--delay", "1.5", "example.com"}, "invalid delay");
  ExpectUsageError({"--delay", "", "example.com"}, "invalid delay");
  ExpectUsageError({"example.com", "--delay"}, "--delay");
  ExpectUsageError({"example.com", "--user-agent"}, "--user-agent");
  ExpectUsageError({"--user-agent", "Bot\r\nX-Injected: 1", "example.com"}, "control character");
  ExpectUsageError({"--user-agent", std::string("Bot\0", 4), "example.com"}, "control character");
  ExpectUsageError({"--user-agent", std::string(257, 'a'), "example.com"}, "longer than 256");
  ExpectUsageError({"--robots=yes", "example.com"}, "takes no value");
  ExpectUsageError({"--index=1", "example.com"}, "takes no value");
  EXPECT_EQ(Parse({"--delay", "60000", "--user-agent", std::string(256, 'a'), "example.com"}).status,
            CliParseStatus::Run);
  const std::string help = CliUsageText();
  for (const char* option : {"--robots", "--delay MS", "--user-agent TEXT", "--lastmod", "--index"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

TEST(CliOptionsTest, UrlRuleOptionsAddUpAndRefuseBadNamesPatternsAndLimits) {
  CliParseOutcome parsed = ParseCliOptions({"--remove-param", "PHPSESSID", "--remove-param=utm_*", "--keep-param", "id",
                                            "--skip", "*calendar*", "--max-pages", "300", "example.com"});
  ASSERT_EQ(parsed.status, CliParseStatus::Run) << parsed.message;
  EXPECT_EQ(parsed.options.Setting(kKeyRemoveParams), "PHPSESSID\nutm_*");
  EXPECT_EQ(parsed.options.Setting(kKeyKeepParams), "id");
  EXPECT_EQ(parsed.options.Setting(kKeySkipPatterns), "*calendar*");
  EXPECT_EQ(parsed.options.Setting(kKeyMaxPages), "300");
  ExpectUsageError({"--remove-param", "", "example.com"}, "empty parameter name for --remove-param");
  ExpectUsageError({"--keep-param=", "example.com"}, "empty parameter name for --keep-param");
  for (const char* bad : {"a=b", "a&b", "a b"}) ExpectUsageError({"--remove-param", bad, "example.com"}, bad);
  ExpectUsageError({"--skip", "", "example.com"}, "empty pattern for --skip");
  // Every crawl begins at the root: a pattern that matches it would leave nothing to crawl.
  for (const char* root : {"/*", "*", "*/"}) ExpectUsageError({"--skip", root, "example.com"}, "start page");
  ExpectUsageError({"--max-pages", "-1", "example.com"}, "invalid page limit '-1'");
  ExpectUsageError({"--max-pages", "many", "example.com"}, "invalid page limit 'many'");
}
