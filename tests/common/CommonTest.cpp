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

TEST(TextCodecTest, GbkRoundTripsChineseAndFailedConversionsGiveEmptyText) {
  std::wstring wide = L"网络错误 abc";
  std::string gbk = WideToAnsi(wide);
  EXPECT_EQ(gbk.size(), 12u);  // four two-byte characters and four ASCII bytes
  EXPECT_EQ(AnsiToWide(gbk), wide);
  EXPECT_EQ(WideToAnsi(L"emoji \U0001F600"), "");  // GBK lacks it
  EXPECT_EQ(AnsiToWide(std::string("\x81", 1)), L"");  // truncated double-byte character
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(gbk)), gbk);
  EXPECT_EQ(WideToUtf8(L"中"), "\xE4\xB8\xAD");
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
