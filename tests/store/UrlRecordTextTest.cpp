#include <gtest/gtest.h>

#include "common/Status.h"
#include "store/TextArchive.h"
#include "store/url_prop.h"

TEST(UrlRecordTextTest, WritesTheArchiveFormByteForByte) {
  std::string text;
  ASSERT_TRUE(ToText(url_prop{}, text).ok());
  EXPECT_EQ(text, "22 serialization::archive 9 0 0 2147483647 0 0 3 200");

  url_prop failed;
  failed.depth = 2;
  failed.state = Failed;
  failed.code = "404";
  ASSERT_TRUE(ToText(failed, text).ok());
  EXPECT_EQ(text, "22 serialization::archive 9 0 0 2 2 0 3 404");

  url_prop odd;
  odd.depth = -3;
  odd.code = "-10000";
  ASSERT_TRUE(ToText(odd, text).ok());
  EXPECT_EQ(text, "22 serialization::archive 9 0 0 -3 0 0 6 -10000");
  odd.code = "";
  ASSERT_TRUE(ToText(odd, text).ok());
  EXPECT_EQ(text, "22 serialization::archive 9 0 0 -3 0 0 0 ");
}

TEST(UrlRecordTextTest, ReadsBackWhatItWritesIncludingSpacesInsideTheCode) {
  url_prop in;
  in.depth = -2147483647 - 1;
  in.state = NotAllowed;
  in.excludedFlag = 1;
  in.code = "a b\nc";
  std::string text;
  ASSERT_TRUE(ToText(in, text).ok());
  url_prop out;
  ASSERT_TRUE(FromText(text, out).ok());
  EXPECT_EQ(out.depth, in.depth);
  EXPECT_EQ(out.state, in.state);
  EXPECT_EQ(out.excludedFlag, 1);
  EXPECT_EQ(out.code, "a b\nc");

  url_prop empty;
  empty.code = "";
  ASSERT_TRUE(ToText(empty, text).ok());
  url_prop back;
  ASSERT_TRUE(FromText(text, back).ok());
  EXPECT_EQ(back.code, "");
}

TEST(UrlRecordTextTest, ReadsTheFieldsInOrderAndAcceptsOlderVersions) {
  url_prop record;
  ASSERT_TRUE(FromText("22 serialization::archive 9 0 0 5 1 0 3 200", record).ok());
  EXPECT_EQ(record.depth, 5);
  EXPECT_EQ(record.state, Crawled);
  EXPECT_EQ(record.excludedFlag, 0);
  EXPECT_EQ(record.code, "200");
  EXPECT_TRUE(FromText("22 serialization::archive 4 0 0 1 2 1 3 500", record).ok());
  EXPECT_EQ(record.code, "500");
}

TEST(UrlRecordTextTest, RejectsEmptyWrongAndMalformedTexts) {
  url_prop record;
  EXPECT_EQ(FromText("", record).code(), StatusCode::kEmpty);
  EXPECT_EQ(FromText("22 serialization::archive 10 0 0 1 0 0 3 200", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archivX 9 0 0 1 0 0 3 200", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("garbage", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 x 0 0 3 200", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 2147483648 0 0 3 200", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 1 0 0 3 20", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 1 0 0 3", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 1 0 0 -1 x", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 1 0 0 99999999 x", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 1 0 0 99999999999999999999999 x", record).code(),
            StatusCode::kParse);
  EXPECT_EQ(FromText("99999999 serialization::archive 9", record).code(), StatusCode::kParse);
  EXPECT_EQ(FromText("22 serialization::arch", record).code(), StatusCode::kParse);
}

TEST(UrlRecordTextTest, KeepsTheFieldsReadBeforeAFault) {
  url_prop record;
  EXPECT_EQ(FromText("22 serialization::archive 9 0 0 7 1 zz", record).code(), StatusCode::kParse);
  EXPECT_EQ(record.depth, 7);
  EXPECT_EQ(record.state, Crawled);
  EXPECT_EQ(record.excludedFlag, 0);
  EXPECT_EQ(record.code, "200");
}

TEST(TextArchiveTest, WritesAndReadsAStringSetArchive) {
  TextArchiveWriter writer;
  writer.WriteInt(0);
  writer.WriteInt(0);
  writer.WriteCount(2);
  writer.WriteInt(0);
  writer.WriteString(".exe");
  writer.WriteString(".tar gz");
  ASSERT_TRUE(writer.ok());
  EXPECT_EQ(writer.text(), "22 serialization::archive 9 0 0 2 0 4 .exe 7 .tar gz");

  TextArchiveReader reader(writer.text());
  int32_t a = -1, b = -1, itemVersion = -1;
  uint64_t count = 0;
  std::string first, second;
  ASSERT_TRUE(reader.ReadHeader());
  ASSERT_TRUE(reader.ReadInt(a) && reader.ReadInt(b) && reader.ReadCount(count) &&
              reader.ReadInt(itemVersion));
  EXPECT_EQ(count, 2u);
  ASSERT_TRUE(reader.ReadString(first) && reader.ReadString(second));
  EXPECT_EQ(first, ".exe");
  EXPECT_EQ(second, ".tar gz");
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_FALSE(reader.ReadInt(a));
  EXPECT_TRUE(reader.failed());
}

TEST(TextArchiveTest, ReaderRefusesNegativeCountsAndStaysFailed) {
  std::string text = "-3 5";
  TextArchiveReader reader(text);
  uint64_t count = 0;
  int32_t value = 0;
  EXPECT_FALSE(reader.ReadCount(count));
  EXPECT_FALSE(reader.ReadInt(value));
}
