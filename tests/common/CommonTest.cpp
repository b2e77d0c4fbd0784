#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

#include "common/CrashReporter.h"
#include "common/DecimalNumber.h"
#include "common/PercentEncoding.h"
#include "common/StringICompare.h"
#include "common/TextCodec.h"

TEST(StringICompareTest, CaseVariantsAreOneEntryWhateverTheInsertionOrder) {
  StringISet set{".pdf", ".PDF", ".zip", ".Zip", "B", "a"};
  ASSERT_EQ(set.size(), 4u);
  EXPECT_EQ(*set.begin(), ".pdf");  // the first one inserted stays
  EXPECT_TRUE(set.count(".ZIP"));
  std::vector<std::string> order(set.begin(), set.end());
  EXPECT_EQ(order, (std::vector<std::string>{".pdf", ".zip", "a", "B"}));
}

TEST(StringICompareTest, PrefixAndSuffixTestsNeedTheWholeAffix) {
  EXPECT_TRUE(StartsWithIgnoreCase("HTTP://x", "http://"));
  EXPECT_FALSE(StartsWithIgnoreCase("http:/", "http://"));
  EXPECT_TRUE(EndsWithIgnoreCase("/a.ZIP", ".zip"));
  EXPECT_FALSE(EndsWithIgnoreCase("/a.zip?x=1", ".zip"));
}

TEST(TextCodecTest, OnlyMalformedSequencesAreRefusedAndShownEscaped) {
  for (const char* bad : {"\x81", "\xE4\xB8", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xBF"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
  }
  EXPECT_EQ(Utf8OrEscaped("/数据/a"), "/数据/a");
  EXPECT_EQ(Utf8OrEscaped("/\xcd\xf8/a b"), "/%CD%F8/a b");
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF, the last code point
  // ASCII runs are checked eight bytes at a time: a sequence is judged alike at every offset,
  // across a word's edge and at the text's end.
  for (size_t at = 0; at <= 17; ++at) {
    const std::string pad(at, 'a'), tail(at % 5, 'b');
    EXPECT_TRUE(IsValidUtf8(pad + "\xE7\xBD\x91" + tail)) << at;
    EXPECT_FALSE(IsValidUtf8(pad + "\x81" + tail)) << at;
    EXPECT_FALSE(IsValidUtf8(pad + "\xE4\xB8" + tail)) << at;
  }
}

TEST(TextCodecTest, StoredGbkTextLoadsAsUtf8AndUtf8StaysAsItIs) {
  EXPECT_EQ(StoredTextToUtf8("\xcd\xf8\xd5\xbe"), "网站");  // GBK
  EXPECT_EQ(StoredTextToUtf8("网站 abc"), "网站 abc");
  EXPECT_EQ(StoredTextToUtf8("plain"), "plain");
}

TEST(TextCodecTest, TrimRemovesWhiteSpaceAtBothEndsOnly) {
  EXPECT_EQ(TrimWhitespace(std::string(" \t a b \r\n")), "a b");
  EXPECT_EQ(TrimWhitespace(std::string("   ")), "");
}

TEST(PercentEncodingTest, TheReadableFormDecodesUtf8TextButNoEscapeThatChangesOrHidesTheAddress) {
  EXPECT_EQ(ReadableAddress("/%E6%96%B0%E9%97%BB/%e7%ac%ac.html?q=%E4%B8%AD"), "/新闻/第.html?q=中");
  EXPECT_EQ(ReadableAddress("/%7Euser/%41-%5F"), "/~user/A-_");
  // Delimiters, space, "%" itself and controls keep their escapes.
  EXPECT_EQ(ReadableAddress("/a%2Fb%3Fc%23d%25e%26f%3Dg%20h%00%0A%7F"), "/a%2Fb%3Fc%23d%25e%26f%3Dg%20h%00%0A%7F");
  // No valid UTF-8, a cut sequence, a C1 control, a direction override: kept as written.
  EXPECT_EQ(ReadableAddress("/%C0%AF/%E6%96/%C2%85/%E2%80%AE.html"), "/%C0%AF/%E6%96/%C2%85/%E2%80%AE.html");
  EXPECT_EQ(ReadableAddress("/%E6%96%B0%E6%96"), "/新%E6%96");
  EXPECT_EQ(ReadableAddress("/100%/%zz%4"), "/100%/%zz%4");
}

TEST(PercentEncodingTest, EncodingIsIdempotentAndAStrayPercentBecomesPercent25) {
  EXPECT_EQ(PercentEncode("/新 \"<>`{}'?#|%41%.html", PercentEncodeSet::kPath),
            "/%E6%96%B0%20%22%3C%3E%60%7B%7D'%3F%23|%41%25.html");
  EXPECT_EQ(PercentEncode("a b\"<>'`{}#%", PercentEncodeSet::kSpecialQuery), "a%20b%22%3C%3E%27`{}%23%25");
  const std::string once = PercentEncode("/a b%/新", PercentEncodeSet::kPath);
  EXPECT_EQ(PercentEncode(once, PercentEncodeSet::kPath), once);
}

TEST(DecimalNumberTest, DigitsOnlyWithinTheMaximum) {
  EXPECT_EQ(ParseDecimal("0", 10), 0u);
  EXPECT_EQ(ParseDecimal("0010", 10), 10u);
  for (const char* bad : {"", "+1", "-1", " 1", "1 ", "1x", "11", "0x1"}) EXPECT_FALSE(ParseDecimal(bad, 10)) << bad;
  EXPECT_FALSE(ParseDecimal("99999999999999999999999", UINT64_MAX));  // past 64 bits
  EXPECT_EQ(ParseSignedDecimal("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
  EXPECT_FALSE(ParseSignedDecimal("2147483648", INT32_MIN, INT32_MAX));
  EXPECT_FALSE(ParseSignedDecimal("-", INT32_MIN, INT32_MAX));
  EXPECT_EQ(ParseSignedDecimal("+7", 0, 9), 7);
  uint64_t value = 0;
  EXPECT_EQ(ReadDecimalPrefix("2026-12", 9999, value, 4), 4u);
  EXPECT_EQ(value, 2026u);
  EXPECT_EQ(ReadDecimalPrefix("x1", 9, value), 0u);
  EXPECT_EQ(ParseDecimalFraction("1.25", 60), 1.25);
  EXPECT_EQ(ParseDecimalFraction("3.", 60), 3.0);
  EXPECT_EQ(ParseDecimalFraction("1e999", 60), std::nullopt);
  EXPECT_EQ(ParseDecimalFraction(std::string(400, '9'), 60), 60.0);
}

// An empty report folder appeared in every working folder; it is made by the crash itself.
TEST(CrashReporterTest, TheReportFolderIsMadeOnlyWhenThereIsAReportToWrite) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("veltro-crash-" + std::to_string(getpid())) / "crashrpt";
  std::filesystem::remove_all(folder.parent_path());
  std::filesystem::create_directories(folder.parent_path());
  CrashReporterConfig config;
  config.appName = "test";
  config.reportFolder = folder.string();
  ASSERT_EQ(CrashReporterInstall(config), 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
  CrashReporterUninstall();

  EXPECT_DEATH(
      {
        CrashReporterInstall(config);
        raise(SIGSEGV);
      },
      "");
  ASSERT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(std::filesystem::is_empty(folder));
  std::filesystem::remove_all(folder.parent_path());
}
