#include <gtest/gtest.h>

#include <string>

#include "crawl/QueryRules.h"

namespace {

const QueryRules kSessions({"PHPSESSID", "jsessionid", "sid", "utm_*", "ASPSESSIONID*"}, false, {});

}  // namespace

TEST(QueryRulesTest, NamedParametersGoAndTheOthersKeepTheirOrderAndSpelling) {
  // Names without case, wildcards, percent-encoded names decoded.
  EXPECT_EQ(kSessions.ApplyToPath("/a.php?b=2&PHPSESSID=abc&a=1"), "/a.php?b=2&a=1");
  EXPECT_EQ(kSessions.ApplyToPath("/a.php?phpsessid=abc"), "/a.php");
  EXPECT_EQ(kSessions.ApplyToPath("/a?utm_source=x&id=%41&utm_medium=y"), "/a?id=%41");
  EXPECT_EQ(kSessions.ApplyToPath("/a?%73id=1&x"), "/a?x");
  EXPECT_EQ(kSessions.ApplyToPath("/a?ASPSESSIONIDQSCTRBTA=KJH&p=1"), "/a?p=1");
  EXPECT_EQ(kSessions.ApplyToPath("/a?sid"), "/a");
  // A name that only begins or ends like a rule's stays; so does a value that looks like one.
  EXPECT_EQ(kSessions.ApplyToPath("/a?sidebar=1&x=sid"), "/a?sidebar=1&x=sid");
  // Untouched queries stay byte for byte, empty pieces and all.
  EXPECT_EQ(kSessions.ApplyToPath("/a?&b=1&&c"), "/a?&b=1&&c");
  EXPECT_EQ(kSessions.ApplyToPath("/a?"), "/a?");
  EXPECT_EQ(kSessions.ApplyToPath("/a?x=1&sid=2&&y"), "/a?x=1&y");
  // Path parameters of a removed name, in any segment.
  EXPECT_EQ(kSessions.ApplyToPath("/a.html;jsessionid=0A1B?x=1"), "/a.html?x=1");
  EXPECT_EQ(kSessions.ApplyToPath("/d;JSESSIONID=1/a.html;v=2"), "/d/a.html;v=2");
  EXPECT_EQ(kSessions.ApplyToPath("/a;x=1"), "/a;x=1");
  // Applying twice changes nothing more.
  const std::string once = kSessions.ApplyToPath("/a;jsessionid=1?sid=2&q=3&utm_x=4");
  EXPECT_EQ(once, "/a?q=3");
  EXPECT_EQ(kSessions.ApplyToPath(once), once);
}

TEST(QueryRulesTest, RemovingAllKeepsOnlyTheKeptNames) {
  const QueryRules all({}, true, {"id", "page*"});
  EXPECT_EQ(all.ApplyToPath("/list?sort=a&id=7&pageNo=2&x"), "/list?id=7&pageNo=2");
  EXPECT_EQ(all.ApplyToPath("/list?sort=a"), "/list");
  EXPECT_EQ(all.ApplyToPath("/list?"), "/list");
  EXPECT_EQ(all.ApplyToPath("/list"), "/list");
  // A kept name wins over a removed one; path parameters go only by name.
  const QueryRules both({"id", "jsessionid"}, true, {"ID"});
  EXPECT_EQ(both.ApplyToPath("/a;jsessionid=1;k=2?id=1&b=2"), "/a;k=2?id=1");
  EXPECT_TRUE(QueryRules().empty());
  EXPECT_EQ(QueryRules().ApplyToPath("/a;jsessionid=1?sid=1"), "/a;jsessionid=1?sid=1");
}

TEST(QueryRulesTest, FullAddressesAndNames) {
  EXPECT_EQ(kSessions.ApplyToAddress("http://127.0.0.1:8080/a?sid=1&b=2"), "http://127.0.0.1:8080/a?b=2");
  EXPECT_EQ(kSessions.ApplyToAddress("https://Example.com/a?b=2"), "https://Example.com/a?b=2");
  EXPECT_EQ(kSessions.ApplyToAddress("not an address?sid=1"), "not an address?sid=1");
  std::string problem;
  EXPECT_TRUE(QueryRules::IsValidName("utm_*", problem));
  EXPECT_TRUE(QueryRules::IsValidName("%73id", problem));
  for (const char* bad : {"", "a=b", "a&b", "a b", "a;b", "a\tb"}) {
    EXPECT_FALSE(QueryRules::IsValidName(bad, problem)) << bad;
    EXPECT_FALSE(problem.empty());
  }
}
