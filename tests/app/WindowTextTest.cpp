#include <gtest/gtest.h>

#include <thread>

#include "app/platform/MessageQueue.h"
#include "app/platform/WideText.h"
#include "app/platform/WindowMessages.h"

namespace {

TEST(WideTextTest, TheWindowsTextConvertsToUtf8AndBackDroppingOnlyWhatUtf8CannotCarry) {
  std::wstring wide = L"网络错误 abc \U0001F600";
  std::string utf8 = WideToUtf8(wide);
  EXPECT_EQ(utf8.size(), 4u * 3 + 5 + 4);  // four three-byte characters, five ASCII bytes, one four-byte
  EXPECT_EQ(Utf8ToWide(utf8), wide);
  EXPECT_EQ(WideToUtf8(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "ab");  // a lone surrogate goes alone
  for (const char* bad : {"\x81", "\xE4\xB8", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xBF"})
    EXPECT_EQ(Utf8ToWide(bad), L"") << bad;
  EXPECT_EQ(TrimWhitespace(std::wstring(L" \t a b \r\n")), L"a b");
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

}  // namespace
