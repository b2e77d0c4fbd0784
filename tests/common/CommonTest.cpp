#include <gtest/gtest.h>

#include <thread>

#include "common/Event.h"
#include "common/MessageQueue.h"
#include "common/StringICompare.h"
#include "common/StringTable.h"
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

TEST(TextCodecTest, NarrowTextIsUtf8AndOnlyMalformedSequencesAreRefused) {
  std::wstring wide = L"网络错误 abc \U0001F600";
  std::string utf8 = WideToUtf8(wide);
  EXPECT_EQ(utf8.size(), 4u * 3 + 5 + 4);  // four three-byte characters, five ASCII bytes, one four-byte
  EXPECT_EQ(Utf8ToWide(utf8), wide);
  EXPECT_EQ(WideToUtf8(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "ab");  // a lone surrogate goes alone
  for (const char* bad : {"\x81", "\xE4\xB8", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xBF"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(Utf8ToWide(bad), L"") << bad;
  }
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF, the last code point
}

TEST(TextCodecTest, StoredGbkTextLoadsAsUtf8AndUtf8StaysAsItIs) {
  EXPECT_EQ(StoredTextToUtf8("\xcd\xf8\xd5\xbe"), "网站");  // GBK
  EXPECT_EQ(StoredTextToUtf8("网站 abc"), "网站 abc");
  EXPECT_EQ(StoredTextToUtf8("plain"), "plain");
}

TEST(TextCodecTest, TrimRemovesWhiteSpaceAtBothEndsOnly) {
  EXPECT_EQ(TrimWhitespace(std::wstring(L" \t a b \r\n")), L"a b");
  EXPECT_EQ(TrimWhitespace(std::string("   ")), "");
}

TEST(StringTableTest, KnownNumbersHaveTheirTextsAndMissingNumbersAreEmpty) {
  EXPECT_EQ(LoadStringById(105), L"不是一个合法的网址，请输入一个网址");
  EXPECT_EQ(LoadStringById(125), L"条");
  EXPECT_EQ(LoadStringById(102), L"");
  EXPECT_EQ(LoadStringById(130), L"");
}

TEST(WindowMessagesTest, PostedMessagesArriveInOrderAndDeadHandlesRefuse) {
  WindowHandle dead;
  {
    MessageQueue queue;
    dead = queue.handle();
    std::thread poster([&] {
      for (int i = 0; i < 100; ++i) PostWindowMessage(queue.handle(), WM_USER + 10, i, -i);
    });
    for (int i = 0; i < 100; ++i) {
      auto msg = queue.Take(std::chrono::seconds(5));
      ASSERT_TRUE(msg);
      EXPECT_EQ(msg->message, WM_USER + 10);
      EXPECT_EQ(msg->wParam, static_cast<uintptr_t>(i));
    }
    poster.join();
  }
  EXPECT_FALSE(PostWindowMessage(dead, WM_USER, 0, 0));
}

TEST(AutoResetEventTest, OneSetReleasesOneWaitAndStaysUntilTaken) {
  AutoResetEvent event;
  EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(1)));
  event.Set();
  event.Set();  // not counted twice
  EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(1)));
  EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(1)));
}
