#include <gtest/gtest.h>

#include <algorithm>

#include "common/SystemInfo.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsTable.h"
#include "settings/SetupPageRules.h"
#include "texts/SettingsText.h"

TEST(SetupPageRules, DepthKeepsOneTo999AndOtherwiseBecomesFive) {
  EXPECT_EQ(DepthOrDefault(1), 1);
  EXPECT_EQ(DepthOrDefault(999), 999);
  EXPECT_EQ(DepthOrDefault(0), 5);
  EXPECT_EQ(DepthOrDefault(1000), 5);
  EXPECT_EQ(DepthOrDefault(-1), 5);  // an empty or unreadable edit
}

TEST(SetupPageRules, ThreadsKeepOneTo20AndOtherwiseBecomeFourPerProcessorAtMost20) {
  EXPECT_EQ(ThreadsOrDefault(1), 1);
  EXPECT_EQ(ThreadsOrDefault(20), 20);
  EXPECT_EQ(ThreadsOrDefault(21), std::min(20, 4 * ProcessorCount()));
  EXPECT_EQ(ThreadsOrDefault(0), std::min(20, 4 * ProcessorCount()));
  EXPECT_EQ(ThreadsOrDefault(-1), std::min(20, 4 * ProcessorCount()));
}

TEST(SetupPageRules, IntervalMinutesBecomeSecondsWithin60To3600Else180) {
  EXPECT_EQ(IntervalSecondsOf(1), 60);
  EXPECT_EQ(IntervalSecondsOf(60), 3600);
  EXPECT_EQ(IntervalSecondsOf(61), 180);
  EXPECT_EQ(IntervalSecondsOf(0), 180);
  EXPECT_EQ(IntervalSecondsOf(-1), 180);
  EXPECT_EQ(IntervalSecondsOf(180), 180);
}

TEST(SetupPageRules, HugeIntervalDoesNotWrapIntoTheValidRange) {
  // 1073741825 x 60 is 60 modulo 2^32.
  EXPECT_EQ(IntervalSecondsOf(1073741825), 180);
  EXPECT_EQ(IntervalSecondsOf(2147483647), 180);
}

TEST(SetupPageRules, IntervalShowsAsWholeMinutesAndOutsideItsRangeAsTheDefault) {
  EXPECT_EQ(IntervalMinutesOf(200), 3);
  EXPECT_EQ(IntervalMinutesOf(3600), 60);
  EXPECT_EQ(IntervalMinutesOf(60), 1);
  // What the page would refuse on OK opens as the default it takes.
  EXPECT_EQ(IntervalMinutesOf(59), 3);
  EXPECT_EQ(IntervalMinutesOf(0), 3);
  EXPECT_EQ(IntervalMinutesOf(3660), 3);
}

TEST(SetupPageRules, ForbiddenTypeHasOneDotWhetherOrNotOneWasTyped) {
  EXPECT_EQ(ForbiddenTypeOf("pdf"), ".pdf");
  EXPECT_EQ(ForbiddenTypeOf("PDF"), ".PDF");
  EXPECT_EQ(ForbiddenTypeOf(".rar"), ".rar");
  EXPECT_EQ(ForbiddenTypeOf("..rar"), ".rar");
  EXPECT_EQ(ForbiddenTypeOf("tar.gz"), ".tar.gz");
}

TEST(SetupPageRules, FileTypeEntryRefusesSpacesWildcardsSlashesAndDotsAlone) {
  for (const char* taken : {"php", ".php", "tar.gz", "网页", "a-b_c"})
    EXPECT_TRUE(IsFileTypeEntry(taken)) << taken;
  for (const char* refused : {"", ".", "..", "a b", "a\tb", "a\u3000b", "a\u2009b", "*", "p*p", "a/b",
                                 "a\\b", "ph?", "a\x01b", "a\xffb"})
    EXPECT_FALSE(IsFileTypeEntry(refused)) << refused;
}

TEST(SetupPageRules, RangeMessageAndLabelNameTheRange) {
  EXPECT_EQ(RangeMessage(kDepthRange), "最大深度应为1到999之间的整数。");
  EXPECT_EQ(RangeMessage(kAutoSaveMinutesRange), "自动保存间隔(分钟)应为1到60之间的整数。");
  EXPECT_EQ(RangeLabel(kThreadsRange), "(1\u201320)");
  EXPECT_TRUE(kIntervalMsRange.Holds(0));
  EXPECT_TRUE(kIntervalMsRange.Holds(kMaxIntervalMs));
  EXPECT_FALSE(kIntervalMsRange.Holds(kMaxIntervalMs + 1));
  EXPECT_FALSE(kIntervalMsRange.Holds(-1));
}

TEST(SetupPageRules, RequestIntervalIsKeptWithinZeroToOneMinute) {
  EXPECT_EQ(IntervalMsOf(0), 0);
  EXPECT_EQ(IntervalMsOf(1), 1);
  EXPECT_EQ(IntervalMsOf(60000), 60000);
  EXPECT_EQ(IntervalMsOf(60001), 60000);
  EXPECT_EQ(IntervalMsOf(2147483647), 60000);
  EXPECT_EQ(IntervalMsOf(-1), 0);  // an empty or unreadable edit
}

TEST(SetupPageRules, UserAgentLosesControlBytesAndEndSpacesAndIsCutOnACharacterBoundary) {
  EXPECT_EQ(UserAgentOf(""), "");
  EXPECT_EQ(UserAgentOf("  VeltroBot/1.0 (+http://a.example/bot)  "), "VeltroBot/1.0 (+http://a.example/bot)");
  EXPECT_EQ(UserAgentOf("Bot\r\nCookie: x"), "BotCookie: x");
  EXPECT_EQ(UserAgentOf("\x01\x1f\x7f"), "");
  EXPECT_EQ(UserAgentOf("网站"), "网站");

  const std::string ascii(300, 'a');
  EXPECT_EQ(UserAgentOf(ascii), std::string(kMaxUserAgentBytes, 'a'));
  // 254 ASCII bytes and then a three-byte character: the character does not fit and goes whole.
  const std::string mixed = std::string(254, 'a') + "网" + "tail";
  EXPECT_EQ(UserAgentOf(mixed), std::string(254, 'a'));
  const std::string fits = std::string(253, 'a') + "网" + "tail";
  EXPECT_EQ(UserAgentOf(fits), std::string(253, 'a') + "网");
}

// The pages refuse what loading refuses: each page's range is its setting's in the table.
TEST(SetupPageRules, EveryRangeAPageEnforcesIsTheRangeOfItsSettingsRow) {
  auto expectRow = [](const char* key, const NumberRange& range) {
    const SettingRow* row = FindSetting(key);
    ASSERT_NE(row, nullptr) << key;
    EXPECT_EQ(row->min, range.low) << key;
    EXPECT_EQ(row->max, range.high) << key;
  };
  expectRow(kKeyMaxDepth, kDepthRange);
  expectRow(kKeyThreads, kThreadsRange);
  expectRow(kKeyMinIntervalMs, kIntervalMsRange);
  // Stored in seconds; the page offers whole minutes of it, and a stored second (as a test or
  // a hand-edited database holds) still loads.
  const SettingRow* interval = FindSetting(kKeyAutoSaveInterval);
  EXPECT_LE(interval->min, kAutoSaveMinutesRange.low * 60);
  EXPECT_EQ(interval->max, kAutoSaveMinutesRange.high * 60);
}
