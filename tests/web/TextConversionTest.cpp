#include <gtest/gtest.h>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "web/TextConversion.h"

namespace {

TEST(ConvertText, ConvertsUtf8ToGbkAndReportsTheUnusedRoom) {
  const std::string input = "<a href=\"/中文.html\">中文</a>";
  std::string out;
  const int32_t room = ConvertText(input, "GBK", "UTF-8", out);
  EXPECT_EQ(out, Utf8ToAnsi(input));
  EXPECT_EQ(room, static_cast<int32_t>(input.size() * 6 - out.size()));
}

TEST(ConvertText, DropsInvalidBytesAndCharactersGbkLacksAndGoesOn) {
  std::string out;
  EXPECT_GT(ConvertText("a\xff\xfe" "b\xc3(c\xe4\xb8", "GBK", "UTF-8", out), 0);
  EXPECT_EQ(out, "ab(c");
  EXPECT_GT(ConvertText("x😀y中\xf0\x9f\x98\x80z", "GBK", "UTF-8", out), 0);
  EXPECT_EQ(out, "xy" + Utf8ToAnsi("中") + "z");
  // Many faults in a long text: all of it is still converted.
  std::string longInput, expected;
  for (int i = 0; i < 5000; ++i) {
    longInput += "文\x80😀k";
    expected += "文k";
  }
  EXPECT_GT(ConvertText(longInput, "GBK", "UTF-8", out), 0);
  EXPECT_EQ(out, Utf8ToAnsi(expected));
}

TEST(ConvertText, TextEndsAtAZeroByte) {
  std::string out;
  EXPECT_GT(ConvertText(std::string("ab\0cd", 5), "GBK", "UTF-8", out), 0);
  EXPECT_EQ(out, "ab");
}

TEST(ConvertText, EmptyInputAndUnknownSetsAreRefused) {
  std::string out = "kept";
  EXPECT_EQ(ConvertText("", "GBK", "UTF-8", out), rc::kEmpty);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(ConvertText("abc", "NO-SUCH-SET", "UTF-8", out), 18);
  EXPECT_EQ(out, "");
}

TEST(PreparePageText, ConvertsOnlyABodyDeclaredExactlyUtf8) {
  const std::string body = "\r\n\r\n<p>中文</p>";
  EXPECT_EQ(PreparePageText("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8", body),
            Utf8ToAnsi(body));
  EXPECT_EQ(PreparePageText("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\nX: y", body),
            Utf8ToAnsi(body));
  EXPECT_EQ(PreparePageText("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gb2312", body), body);
  EXPECT_EQ(PreparePageText("Content-Type: text/html; charset=UTF-8; x=1\r\n", body), body);
  EXPECT_EQ(PreparePageText("HTTP/1.1 200 OK", body), body);
  EXPECT_EQ(PreparePageText("", body), body);
}

}  // namespace
