#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "common/ResultCodes.h"
#include "support/LoopbackServer.h"
#include "web/CHttpSession.h"
#include "web/CRobotsTxt.h"
#include "web/HeaderFields.h"
#include "web/RobotsPolicy.h"

namespace {

// The example file of RFC 9309, section 5.1.
const char kRfcExample[] =
    "User-Agent: *\n"
    "Disallow: *.gif$\n"
    "Disallow: /example/\n"
    "Allow: /publications/\n"
    "\n"
    "User-Agent: foobot\n"
    "Disallow:/\n"
    "Allow:/example/page.html\n"
    "Allow:/example/allowed.gif\n"
    "\n"
    "User-Agent: barbot\n"
    "User-Agent: bazbot\n"
    "Disallow: /example/page.html\n"
    "\n"
    "User-Agent: quxbot\n"
    "\n"
    "EOF\n";

}  // namespace

TEST(RobotsTxtTest, EachAgentOfTheRfcExampleGetsItsGroupAndOthersTheStarGroup) {
  CRobotsTxt foobot = CRobotsTxt::Parse(kRfcExample, "foobot");
  EXPECT_TRUE(foobot.ownGroupFound());
  EXPECT_TRUE(foobot.IsAllowed("/example/page.html"));
  EXPECT_TRUE(foobot.IsAllowed("/example/allowed.gif"));
  EXPECT_FALSE(foobot.IsAllowed("/"));
  EXPECT_FALSE(foobot.IsAllowed("/publications/"));  // the "*" group is not combined with its own

  for (const char* agent : {"barbot", "bazbot", "BazBot"}) {  // consecutive agent lines, letter case ignored
    CRobotsTxt bar = CRobotsTxt::Parse(kRfcExample, agent);
    EXPECT_TRUE(bar.ownGroupFound()) << agent;
    EXPECT_FALSE(bar.IsAllowed("/example/page.html")) << agent;
    EXPECT_TRUE(bar.IsAllowed("/example/other.html")) << agent;
    EXPECT_TRUE(bar.IsAllowed("/a.gif")) << agent;
  }

  CRobotsTxt qux = CRobotsTxt::Parse(kRfcExample, "quxbot");  // an empty group allows everything
  EXPECT_TRUE(qux.ownGroupFound());
  EXPECT_TRUE(qux.IsAllowed("/example/page.html"));
  EXPECT_TRUE(qux.IsAllowed("/a.gif"));

  for (const char* agent : {"otherbot", ""}) {  // an empty token finds only "*"
    CRobotsTxt other = CRobotsTxt::Parse(kRfcExample, agent);
    EXPECT_FALSE(other.ownGroupFound());
    EXPECT_FALSE(other.IsAllowed("/a/b.gif"));
    EXPECT_TRUE(other.IsAllowed("/a/b.gif?x=1"));  // "$": the path must end there
    EXPECT_FALSE(other.IsAllowed("/example/"));
    EXPECT_FALSE(other.IsAllowed("/example/x.html"));
    EXPECT_TRUE(other.IsAllowed("/publications/"));
    EXPECT_TRUE(other.IsAllowed("/index.html"));
  }
}

TEST(RobotsTxtTest, LongestMatchWinsAndAllowWinsATie) {
  CRobotsTxt rules = CRobotsTxt::Parse(
      "User-Agent: foobot\n"
      "Allow: /example/page/\n"
      "Disallow: /example/page/disallowed.gif\n"
      "Disallow: /folder/\n"
      "Allow: /folder/open/\n"
      "Disallow: /tie\n"
      "Allow: /tie\n"
      "Disallow: /tie2\n"
      "Allow: /t*e2\n",
      "foobot");
  EXPECT_TRUE(rules.IsAllowed("/example/page/"));
  EXPECT_TRUE(rules.IsAllowed("/example/page/a.html"));
  EXPECT_FALSE(rules.IsAllowed("/example/page/disallowed.gif"));
  EXPECT_FALSE(rules.IsAllowed("/folder/closed.html"));
  EXPECT_TRUE(rules.IsAllowed("/folder/open/a.html"));  // Allow under Disallow
  EXPECT_TRUE(rules.IsAllowed("/tie"));
  EXPECT_TRUE(rules.IsAllowed("/tie2"));  // "/t*e2" is as long as "/tie2"
}

TEST(RobotsTxtTest, GroupsForTheSameAgentAreCombinedAndRulesBeforeAnyAgentIgnored) {
  CRobotsTxt rules = CRobotsTxt::Parse(
      "Disallow: /before-any-agent\n"
      "user-agent: ExampleBot\n"
      "disallow: /foo\n"
      "disallow: /bar\n"
      "\n"
      "user-agent: *\n"
      "disallow: /star-only\n"
      "\n"
      "user-agent: examplebot/2.1\n"
      "disallow: /baz\n",
      "ExampleBot");
  EXPECT_FALSE(rules.IsAllowed("/foo"));
  EXPECT_FALSE(rules.IsAllowed("/bar/x"));
  EXPECT_FALSE(rules.IsAllowed("/baz"));
  EXPECT_TRUE(rules.IsAllowed("/star-only"));
  EXPECT_TRUE(rules.IsAllowed("/before-any-agent"));
  EXPECT_EQ(rules.ruleCount(), 3u);
}

TEST(RobotsTxtTest, AUserAgentLineAfterRulesStartsANewGroup) {
  // "b" follows a's rule, so it is a group of its own and a's rule does not bind it.
  CRobotsTxt b = CRobotsTxt::Parse(
      "User-agent: a\n"
      "Disallow: /a-only\n"
      "User-agent: b\n"
      "Sitemap: https://example.com/sitemap.xml\n"
      "User-agent: c\n"
      "Disallow: /b-and-c\n",
      "b");
  EXPECT_TRUE(b.IsAllowed("/a-only"));
  EXPECT_FALSE(b.IsAllowed("/b-and-c"));  // a sitemap line does not end the agent lines
}

TEST(RobotsTxtTest, WildcardsAndEndAnchorMatchAsTheRfcSays) {
  CRobotsTxt rules = CRobotsTxt::Parse(
      "User-agent: *\n"
      "Disallow: /fish*.php\n"
      "Disallow: /*.pdf$\n"
      "Disallow: /exact$\n"
      "Disallow: /**/deep/***/end\n"
      "Allow: /*.pdf?\n",
      "");
  EXPECT_FALSE(rules.IsAllowed("/fish.php"));
  EXPECT_FALSE(rules.IsAllowed("/fishheads/catfish.php?parameters"));
  EXPECT_TRUE(rules.IsAllowed("/Fish.PHP"));  // paths are compared with their letter case
  EXPECT_FALSE(rules.IsAllowed("/a/b/c.pdf"));
  EXPECT_TRUE(rules.IsAllowed("/a/b/c.pdf?download=1"));
  EXPECT_TRUE(rules.IsAllowed("/a.pdf.html"));
  EXPECT_FALSE(rules.IsAllowed("/exact"));
  EXPECT_TRUE(rules.IsAllowed("/exact/"));
  EXPECT_TRUE(rules.IsAllowed("/exactly"));
  EXPECT_FALSE(rules.IsAllowed("/x/deep/y/z/end-of-it"));
  EXPECT_TRUE(rules.IsAllowed("/x/deep/y/z/en"));
}

TEST(RobotsTxtTest, PercentEncodingIsMadeUniformOnBothSides) {
  // The table of RFC 9309, section 2.2.2, as rules and as paths.
  CRobotsTxt rules = CRobotsTxt::Parse(
      "User-agent: *\n"
      "Disallow: /foo/bar?baz=quz\n"
      "Disallow: /foo/bar/\xE3\x83\x84\n"
      "Disallow: /foo/%62%61%7A\n"
      "Disallow: /a%2fb\n",
      "");
  EXPECT_FALSE(rules.IsAllowed("/foo/bar?baz=quz"));
  EXPECT_TRUE(rules.IsAllowed("/foo/bar?baz=other"));
  EXPECT_FALSE(rules.IsAllowed("/foo/bar/%E3%83%84"));
  EXPECT_FALSE(rules.IsAllowed("/foo/bar/%e3%83%84"));
  EXPECT_FALSE(rules.IsAllowed("/foo/bar/\xE3\x83\x84"));
  EXPECT_FALSE(rules.IsAllowed("/foo/baz"));
  EXPECT_FALSE(rules.IsAllowed("/foo/%62az"));
  EXPECT_FALSE(rules.IsAllowed("/a%2Fb"));
  EXPECT_TRUE(rules.IsAllowed("/a/b"));  // an encoded "/" is not a "/"
  EXPECT_EQ(NormalizeRobotsPath("/%7e%41%2f%zz%4"), "/~A%2F%25zz%254");
  EXPECT_EQ(NormalizeRobotsPath("/a b\t\x7f"), "/a%20b%09%7F");
}

TEST(RobotsTxtTest, RobotsTxtItselfIsAlwaysAllowedAndOddPathsAreReadAsPaths) {
  CRobotsTxt rules = CRobotsTxt::Parse("User-agent: *\nDisallow: /\n", "");
  EXPECT_TRUE(rules.IsAllowed("/robots.txt"));
  EXPECT_FALSE(rules.IsAllowed("/robots.txt?x"));
  EXPECT_FALSE(rules.IsAllowed(""));
  EXPECT_FALSE(rules.IsAllowed("a.html"));  // taken as /a.html
  EXPECT_FALSE(rules.IsAllowed("/#top"));

  CRobotsTxt fragment = CRobotsTxt::Parse("User-agent: *\nDisallow: /a$\n", "");
  EXPECT_FALSE(fragment.IsAllowed("/a#part"));  // the fragment is never sent, nor compared
  EXPECT_TRUE(fragment.IsAllowed("/ab#part"));

  CRobotsTxt relative = CRobotsTxt::Parse("User-agent: *\nDisallow: private/\n", "");
  EXPECT_FALSE(relative.IsAllowed("/private/x"));  // a rule without its "/" gets one
}

TEST(RobotsTxtTest, CommentsCaseBlankValuesAndGarbageAreTolerated) {
  std::string text =
      "\xEF\xBB\xBF# a comment line\r\n"
      "USER-AGENT : VeltroBot # trailing comment\r\n"
      "this line has no colon\r\n"
      "\xff\xfe: binary junk\r"
      "Disallow:\r\n"  // empty: no rule
      "DISALLOW:/no-#comment\r\n"
      "Unknown-Field: whatever\r\n"
      "Allow :\t/no-way\t\r\n";
  text.insert(text.find("\xff"), 1, '\0');
  CRobotsTxt rules = CRobotsTxt::Parse(text, "veltrobot");
  EXPECT_TRUE(rules.ownGroupFound());
  EXPECT_EQ(rules.ruleCount(), 2u);
  EXPECT_FALSE(rules.IsAllowed("/no-"));
  EXPECT_TRUE(rules.IsAllowed("/no-way"));
  EXPECT_TRUE(rules.IsAllowed("/other"));

  EXPECT_EQ(CRobotsTxt::Parse("", "x").ruleCount(), 0u);
  EXPECT_EQ(CRobotsTxt::Parse(std::string(10000, '\0'), "x").ruleCount(), 0u);
  EXPECT_EQ(CRobotsTxt::Parse(std::string(10000, ':'), "x").ruleCount(), 0u);
}

TEST(RobotsTxtTest, OnlyTheFirst500KiBAreReadAndTheLineCutThereIsDropped) {
  std::string text = "User-agent: *\nDisallow: /early\n";
  const size_t ruleStart = CRobotsTxt::kMaxBytes - 11;
  while (text.size() + 40 < ruleStart) text += "# padding padding padding padding\n";
  text += "#" + std::string(ruleStart - text.size() - 2, 'p') + "\n";
  ASSERT_EQ(text.size(), ruleStart);
  // The limit cuts this line after "Disallow: /", which read alone would refuse everything.
  text += "Disallow: /late\n";
  text += "Disallow: /after-the-limit\n";
  CRobotsTxt rules = CRobotsTxt::Parse(text, "");
  EXPECT_FALSE(rules.IsAllowed("/early"));
  EXPECT_TRUE(rules.IsAllowed("/somewhere"));
  EXPECT_TRUE(rules.IsAllowed("/late"));
  EXPECT_TRUE(rules.IsAllowed("/after-the-limit"));
  EXPECT_EQ(rules.ruleCount(), 1u);

  // One line longer than the limit: nothing is read.
  EXPECT_EQ(CRobotsTxt::Parse("User-agent: *\nDisallow: /" + std::string(CRobotsTxt::kMaxBytes, 'a'), "")
                .ruleCount(),
            0u);
}

TEST(RobotsTxtTest, CrawlDelayOfTheChosenGroupsInSecondsWithFractions) {
  const char* text =
      "User-agent: *\n"
      "Crawl-delay: 2\n"
      "\n"
      "User-agent: slowbot\n"
      "Crawl-delay: 0.5\n"
      "Crawl-delay: 1.25\n"
      "\n"
      "User-agent: oddbot\n"
      "Crawl-delay: soon\n"
      "Crawl-delay: -3\n"
      "Crawl-delay: 1e3\n";
  EXPECT_EQ(CRobotsTxt::Parse(text, "").crawlDelaySeconds(), 2.0);
  EXPECT_EQ(CRobotsTxt::Parse(text, "slowbot").crawlDelaySeconds(), 1.25);
  EXPECT_FALSE(CRobotsTxt::Parse(text, "oddbot").crawlDelaySeconds().has_value());
  EXPECT_FALSE(CRobotsTxt::Parse("User-agent: *\nDisallow: /\n", "").crawlDelaySeconds().has_value());
}

TEST(RobotsTxtTest, ProductTokenIsTheUserAgentUpToTheFirstSlashOrSpace) {
  EXPECT_EQ(RobotsProductToken("VeltroBot/1.0 (+https://a.example/bot)"), "VeltroBot");
  EXPECT_EQ(RobotsProductToken("Veltro Sitemap"), "Veltro");
  EXPECT_EQ(RobotsProductToken("  plain  "), "plain");
  EXPECT_EQ(RobotsProductToken(""), "");
  EXPECT_EQ(RobotsProductToken("/1.0"), "");
}

TEST(RobotsPolicyTest, FetchOutcomeDecidesBetweenRulesEverythingAndNothing) {
  const std::string body = "User-agent: *\nDisallow: /private/\nCrawl-delay: 3\n";
  RobotsPolicy ok = RobotsPolicyOf(0, "200", body, "");
  EXPECT_EQ(ok.access, RobotsAccess::Rules);
  EXPECT_FALSE(ok.IsAllowed("/private/a"));
  EXPECT_TRUE(ok.IsAllowed("/public"));

  for (const char* status : {"404", "401", "403", "410", "301"}) {
    RobotsPolicy missing = RobotsPolicyOf(0, status, body, "");
    EXPECT_EQ(missing.access, RobotsAccess::AllowAll) << status;
    EXPECT_TRUE(missing.IsAllowed("/private/a")) << status;
  }
  for (const char* status : {"500", "503", "429", "100", "", "20", "2000", "abc"}) {
    RobotsPolicy unreachable = RobotsPolicyOf(0, status, body, "");
    EXPECT_EQ(unreachable.access, RobotsAccess::DisallowAll) << status;
    EXPECT_FALSE(unreachable.IsAllowed("/")) << status;
    EXPECT_FALSE(unreachable.IsAllowed("/public")) << status;
    EXPECT_TRUE(unreachable.IsAllowed("/robots.txt")) << status;
  }
  for (int32_t failed : {7, 28, rc::kEmpty, rc::kNoBlankLine}) {  // connection refused, time-out, nothing received
    EXPECT_EQ(RobotsPolicyOf(failed, "200", body, "").access, RobotsAccess::DisallowAll) << failed;
  }
}

TEST(RobotsPolicyTest, CrawlDelayRaisesTheIntervalButNeverLowersItOrPassesOneMinute) {
  RobotsPolicy delayed = RobotsPolicyOf(0, "200", "User-agent: *\nCrawl-delay: 1.5\n", "");
  EXPECT_EQ(delayed.IntervalMs(0), 1500);
  EXPECT_EQ(delayed.IntervalMs(1499), 1500);
  EXPECT_EQ(delayed.IntervalMs(4000), 4000);
  RobotsPolicy tiny = RobotsPolicyOf(0, "200", "User-agent: *\nCrawl-delay: 0.0001\n", "");
  EXPECT_EQ(tiny.IntervalMs(0), 1);  // rounded up: never faster than asked
  RobotsPolicy huge = RobotsPolicyOf(0, "200", "User-agent: *\nCrawl-delay: 86400000000000000000000\n", "");
  EXPECT_EQ(huge.IntervalMs(0), kMaxRobotsDelayMs);
  EXPECT_EQ(RobotsPolicyOf(0, "404", "", "").IntervalMs(250), 250);
  EXPECT_EQ(RobotsPolicyOf(0, "200", "User-agent: *\n", "").IntervalMs(-5), 0);
}

// The whole way a crawl takes: fetch the file from the site, read the status, decide.
TEST(RobotsPolicyTest, PoliciesFromALoopbackSiteFor200And404And500AndNoServer) {
  LoopbackServer site;
  std::atomic<int> status = 200;
  site.server().Get("/robots.txt", [&status](const httplib::Request&, httplib::Response& res) {
    res.status = status;
    if (status == 200) res.set_content("User-agent: VeltroBot\nDisallow: /nope\n", "text/plain");
    else res.set_content("error page", "text/html");
  });
  ASSERT_TRUE(site.Start());
  SiteOrigin origin{"http", "127.0.0.1", ":" + std::to_string(site.port())};
  ASSERT_EQ(RobotsTxtAddress(origin), site.origin() + "/robots.txt");
  auto policyNow = [&] {
    CHttpSession session(RobotsTxtAddress(origin));
    std::string headers;
    std::string body;
    int32_t code = session.Fetch(headers, body);
    return RobotsPolicyOf(code, ExtractHeaderField(headers, kFieldStatus), body, RobotsProductToken("VeltroBot/1.0"));
  };
  RobotsPolicy found = policyNow();
  EXPECT_EQ(found.access, RobotsAccess::Rules);
  EXPECT_FALSE(found.IsAllowed("/nope/x"));
  EXPECT_TRUE(found.IsAllowed("/yes"));
  status = 404;
  EXPECT_EQ(policyNow().access, RobotsAccess::AllowAll);
  status = 500;
  EXPECT_EQ(policyNow().access, RobotsAccess::DisallowAll);
  site.Stop();
  EXPECT_EQ(policyNow().access, RobotsAccess::DisallowAll);
}
