#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <set>
#include <string>

#include "ChildProcess.h"
#include "support/StaticSite.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

Resource HtmlPage(const std::vector<std::string>& links) {
  std::string html = "<html><body>";
  for (const std::string& link : links) html += "<a href=\"" + link + "\">x</a>";
  return Resource{200, "text/html", html + "</body></html>", ""};
}

// The <loc> texts of an index or sitemap file.
std::vector<std::string> Locs(const fs::path& file, const char* outer) {
  std::vector<std::string> locs;
  TiXmlDocument doc;
  if (!doc.LoadFile(file.c_str())) return locs;
  const TiXmlElement* root = doc.RootElement();
  if (!root) return locs;
  for (const TiXmlElement* e = root->FirstChildElement(outer); e; e = e->NextSiblingElement(outer))
    if (const TiXmlElement* loc = e->FirstChildElement("loc"); loc && loc->GetText()) locs.push_back(loc->GetText());
  return locs;
}

TEST(CliRulesTest, TwentyThousandPagesGiveSeveralSitemapsAndAnIndexNamingEachAtTheSiteRoot) {
  // The root links /p/1 to /p/9; /p/N links /p/10N to /p/10N+9: 20,000 pages in all.
  constexpr int kPages = 20000;
  StaticSite site;
  ASSERT_TRUE(site.Start());
  std::vector<std::string> top;
  for (int i = 1; i <= 9; ++i) top.push_back("/p/" + std::to_string(i));
  site.Set("/", HtmlPage(top));
  for (int n = 1; n < kPages; ++n) {
    std::vector<std::string> children;
    for (int c = 10 * n; c < 10 * n + 10 && c < kPages; ++c) children.push_back("/p/" + std::to_string(c));
    site.Set("/p/" + std::to_string(n), HtmlPage(children));
  }
  TempDir work;
  ChildResult run = RunCommand({"-q", "--plain", "--index", "-d", "10", "-t", "8", site.origin()}, work.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  const std::string prefix = SiteFiles(site.origin()) + "_sitemap";
  std::vector<std::string> named = Locs(work.path() / (prefix + "_index.xml"), "sitemap");
  ASSERT_GE(named.size(), 2u);
  size_t listed = 0;
  for (size_t i = 0; i < named.size(); ++i) {
    const std::string file = prefix + std::to_string(i) + ".xml";
    EXPECT_EQ(named[i], site.origin() + "/" + file);
    listed += Locs(work.path() / file, "url").size();
  }
  EXPECT_FALSE(fs::exists(work.path() / (prefix + std::to_string(named.size()) + ".xml")));
  EXPECT_EQ(listed, static_cast<size_t>(kPages));
}

TEST(CliRulesTest, OneSitemapNeedsNoIndexAndWithoutTheOptionNoneIsWritten) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/", HtmlPage({"/a.html"}));
  site.Set("/a.html", HtmlPage({}));
  TempDir work;
  ASSERT_EQ(RunCommand({"-q", "--index", site.origin()}, work.path()).exitStatus, 0);
  EXPECT_TRUE(fs::exists(work.path() / (SiteFiles(site.origin()) + "_sitemap0.xml.gz")));
  EXPECT_FALSE(fs::exists(work.path() / (SiteFiles(site.origin()) + "_sitemap_index.xml")));
}

TEST(CliRulesTest, RobotsUserAgentAndDelayOptionsReachTheSite) {
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/robots.txt", Resource{200, "text/plain", "User-agent: testbot\nDisallow: /hidden\n", ""});
  site.Set("/", HtmlPage({"/hidden/a.html", "/shown.html"}));
  site.Set("/hidden/a.html", HtmlPage({}));
  site.Set("/shown.html", HtmlPage({}));
  TempDir work;
  ChildResult run = RunCommand({"-q", "--robots", "--user-agent", "TestBot/1.0", "--delay", "50", site.origin()},
                               work.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<std::string> targets = site.targets();
  EXPECT_EQ(std::set<std::string>(targets.begin(), targets.end()),
            (std::set<std::string>{"/robots.txt", "/", "/shown.html"}));
  for (const std::string& agent : site.userAgents()) EXPECT_EQ(agent, "TestBot/1.0");
  // The turns are kept at the client; a busy machine may bring two arrivals a little closer.
  const auto times = site.arrivals();
  ASSERT_EQ(times.size(), 3u);
  for (size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], std::chrono::milliseconds(25));
  EXPECT_GE(times.back() - times.front(), std::chrono::milliseconds(95));
}

}  // namespace
