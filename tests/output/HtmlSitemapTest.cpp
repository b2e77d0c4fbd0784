#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "output/HtmlSitemap.h"
#include "support/TempDir.h"
#include "web/PageTitle.h"
#include "web/TidyDocument.h"

namespace {

struct Link {
  std::string href;
  std::string text;
};

std::vector<Link> LinksOf(const std::string& html) {
  std::vector<Link> links;
  static const std::regex anchor("<a href=\"([^\"]*)\">([^<]*)</a>");
  for (std::sregex_iterator it(html.begin(), html.end(), anchor), end; it != end; ++it)
    links.push_back({(*it)[1].str(), (*it)[2].str()});
  return links;
}

std::vector<std::string> HeadingsOf(const std::string& html) {
  std::vector<std::string> headings;
  static const std::regex h2("<h2>([^<]*)</h2>");
  for (std::sregex_iterator it(html.begin(), html.end(), h2), end; it != end; ++it) headings.push_back((*it)[1].str());
  return headings;
}

TEST(HtmlSitemapTest, ListsEveryPageByFolderWithItsTitleInAValidUtf8Page) {
  TempDir dir;
  std::vector<HtmlSitemapEntry> entries = {
      {"http://h/news/b.html", "第二篇 & <更多>"},
      {"http://h/", "首页"},
      {"http://h/news/a.html?id=1", ""},
      {"http://h/新闻/第一篇.html", "新闻"},
  };
  std::vector<std::string> names;
  ASSERT_TRUE(WriteHtmlSitemap(dir.str(), "h", entries, nullptr, &names).ok());
  ASSERT_EQ(names, std::vector<std::string>{"h_sitemap.html"});
  const std::string html = ReadFileBytes(dir.path() / "h_sitemap.html");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u);
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_EQ(PageTitleOf(html), "网站地图 - h");
  TidyDocument doc;
  EXPECT_EQ(doc.Parse(html.c_str()), 0) << "Tidy found something to warn about:\n" << html;

  EXPECT_EQ(HeadingsOf(html), (std::vector<std::string>{"/", "/news/", "/新闻/"}));
  const std::vector<Link> links = LinksOf(html);
  ASSERT_EQ(links.size(), 4u);
  EXPECT_EQ(links[0].text, "首页");
  EXPECT_EQ(links[1].href, "http://h/news/a.html?id=1");
  EXPECT_EQ(links[1].text, "http://h/news/a.html?id=1");  // no title: the address
  EXPECT_EQ(links[2].text, "第二篇 &amp; &lt;更多&gt;");
  EXPECT_EQ(links[3].href, "http://h/%E6%96%B0%E9%97%BB/%E7%AC%AC%E4%B8%80%E7%AF%87.html");
}

TEST(HtmlSitemapTest, MoreThan50000PagesAreSplitIntoNumberedPagesThatLinkToEachOther) {
  TempDir dir;
  std::vector<HtmlSitemapEntry> entries;
  for (size_t i = 0; i < kHtmlSitemapPageSize * 2 + 1; ++i)
    entries.push_back({"http://h/p/" + std::to_string(1000000 + i) + ".html", ""});
  std::vector<std::string> names;
  ASSERT_TRUE(WriteHtmlSitemap(dir.str(), "h", entries, nullptr, &names).ok());
  ASSERT_EQ(names, (std::vector<std::string>{"h_sitemap.html", "h_sitemap2.html", "h_sitemap3.html"}));
  size_t listed = 0;
  for (size_t page = 0; page < names.size(); ++page) {
    const std::vector<Link> links = LinksOf(ReadFileBytes(dir.path() / names[page]));
    std::vector<std::string> others;
    for (const Link& link : links) {
      if (link.href.rfind("h_sitemap", 0) == 0) others.push_back(link.href);
      else ++listed;
    }
    // Top and bottom each link every page but this one.
    EXPECT_EQ(others.size(), 4u) << names[page];
    for (const std::string& other : others) EXPECT_NE(other, names[page]);
  }
  EXPECT_EQ(listed, entries.size());
}

}  // namespace
