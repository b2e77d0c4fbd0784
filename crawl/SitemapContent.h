#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where each entry's lastmod comes from.
enum class LastmodSource : int32_t {
  Start = 0,    // the day the crawl (the program) started, for every page
  Header = 1,   // the page's Last-Modified, else that day
  Content = 2,  // the day the page's content was first seen, kept in the site's history
  None = 3,     // no lastmod element
};

// What goes into the sitemap, from the settings page 网站地图内容 (or the headless command's
// options). The defaults write every fetched page with "daily" and "0.5", as always.
struct SitemapContent {
  bool canonicalOnly = false;       // a page naming another canonical address is left out
  bool languageAlternates = false;  // <link rel="alternate" hreflang> become xhtml:link children
  std::string changefreq = "daily";  // one of the protocol's words; empty: no element
  // Priority by link depth, the last value for every deeper page; empty: no element.
  std::vector<std::string> priorities{"0.5"};
  bool indexFile = false;  // an index file beside several sitemap files
  LastmodSource lastmodFrom = LastmodSource::Start;
  bool htmlPage = false;   // an HTML sitemap page beside them: the pages' titles are collected
  bool images = false;     // each page's images become image:image children

  bool operator==(const SitemapContent&) const = default;
};

// The change frequency as typed ("none" or empty: no element) -> word. False, with a message
// naming the words, for anything else.
bool ParseChangefreq(const std::string& text, std::string& word, std::string& message);
// "0.5", "1.0,0.8,0.6" or "none" (empty: none) -> values, each within 0.0 to 1.0. False, with a
// message, for anything else.
bool ParsePriorities(const std::string& text, std::vector<std::string>& values, std::string& message);
// "start", "header", "content" or "none" -> the source. False, with a message naming the
// words, for anything else.
bool ParseLastmodSource(const std::string& text, LastmodSource& source, std::string& message);
std::string LastmodSourceText(LastmodSource source);
// The text ParseChangefreq / ParsePriorities read back to the same value.
std::string ChangefreqText(const std::string& word);
std::string PrioritiesText(const std::vector<std::string>& values);
// The priority of a page at that link depth; empty when there is none.
std::string PriorityAtDepth(const std::vector<std::string>& priorities, int32_t depth);
