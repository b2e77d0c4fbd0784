// The links of every HTML file below the folders given, read twice: as the crawl reads them
// (only the tags that can carry a link reach the parser) and from the whole markup without its
// character data, parsed in one piece. Prints the pages whose base, named metas, head links, anchors or
// link sets differ, and the count of pages compared. Run by hand: bench/manual/compare.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "web/LargeStackRunner.h"
#include "web/LinkExtractor.h"
#include "web/LinkRules.h"
#include "web/PageMarkup.h"
#include "web/PageText.h"
#include "web/LinkMarkup.h"
#include "web/ParserInput.h"
#include "web/ResolvedLinkCache.h"
#include "web/TidyDocument.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
const SiteOrigin kSite{"http", "127.0.0.1", ""};
const std::string kHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html";

bool IsHtml(const fs::path& p) { return p.extension() == ".html" || p.extension() == ".htm"; }

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The whole markup, character data taken out, parsed at once on a stack deep enough for any page.
bool Reference(const std::string& utf8, PageMarkup& markup) {
  const std::string text = WithoutCharacterData(utf8);
  std::string escaped;
  const std::string& input = EscapeBareReferenceNames(text, escaped) ? escaped : text;
  bool ok = false;
  RunOnLargeStack(size_t(64) << 20, [&] {
    TidyDocument doc;
    if (!doc.ok() || doc.Parse(input.c_str()) < 0) return;
    ReadPageMarkup(doc.Head(), doc.Body(), markup);
    ok = true;
  });
  return ok;
}

PageLinks Classified(const PageMarkup& markup, const std::string& address) {
  PageLinks links;
  WebAddress base;
  const std::string baseAddress =
      markup.hasBase && ResolveWebReference(address, markup.baseHref, base) ? ToText(base) : address;
  const ReferenceResolver resolver(baseAddress);
  for (const AnchorLink& a : markup.anchors) ClassifyLink(a.href, resolver, kSite, links);
  return links;
}

bool SameMarkup(const PageMarkup& a, const PageMarkup& b) {
  if (a.hasBase != b.hasBase || a.baseHref != b.baseHref || a.namedMetas != b.namedMetas) return false;
  if (a.anchors.size() != b.anchors.size() || a.headLinks.size() != b.headLinks.size()) return false;
  for (size_t i = 0; i < a.headLinks.size(); ++i)
    if (a.headLinks[i].href != b.headLinks[i].href || a.headLinks[i].rel != b.headLinks[i].rel ||
        a.headLinks[i].hreflang != b.headLinks[i].hreflang)
      return false;
  for (size_t i = 0; i < a.anchors.size(); ++i)
    if (a.anchors[i].href != b.anchors[i].href || a.anchors[i].rel != b.anchors[i].rel) return false;
  return true;
}

// Where two readings part: the first anchor that differs, or the first one only one has.
void PrintFirstDifference(const PageMarkup& a, const PageMarkup& b) {
  const size_t n = std::min(a.anchors.size(), b.anchors.size());
  size_t i = 0;
  while (i < n && a.anchors[i].href == b.anchors[i].href) ++i;
  std::printf("  anchor %zu: whole markup \"%s\", link markup \"%s\"\n", i,
              i < a.anchors.size() ? a.anchors[i].href.c_str() : "(none)",
              i < b.anchors.size() ? b.anchors[i].href.c_str() : "(none)");
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  size_t pages = 0, anchors = 0, differ = 0, refused = 0;
  size_t pageBytes = 0, markupBytes = 0;
  Clock::duration ours{}, theirs{};
  PageScratch scratch;
  for (int a = 1; a < argc; ++a) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(argv[a], fs::directory_options::follow_directory_symlink))
      if (entry.is_regular_file() && IsHtml(entry.path())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      const std::string body = ReadFile(file);
      PageText text(kHeaders, body);
      if (!text.ok()) continue;
      const std::string address = "http://127.0.0.1/" + fs::relative(file, argv[a]).generic_string();
      PageMarkup before;
      const auto t0 = Clock::now();
      const bool readBefore = Reference(text.utf8(), before);
      const auto t1 = Clock::now();
      const bool readAfter = ReadLinkMarkup(text.utf8(), scratch) == 0;
      const auto t2 = Clock::now();
      theirs += t1 - t0;
      ours += t2 - t1;
      ++pages;
      pageBytes += text.utf8().size();
      LinkMarkupOf(text.utf8(), scratch.markup);
      markupBytes += scratch.markup.size();
      if (!readBefore || !readAfter) {
        ++refused;
        if (readBefore != readAfter) ++differ, std::printf("refused by one reading only: %s\n", file.c_str());
        continue;
      }
      anchors += before.anchors.size();
      // The crawl's reading, with one worker's cache of resolved links kept from page to page.
      const PageLinks l1 = Classified(before, address);
      PageLinks l2;
      AddMarkupLinks(scratch.page, kSite, address, l2, LinkOptions{}, scratch);
      if (!SameMarkup(before, scratch.page) || l1.internal != l2.internal || l1.external != l2.external) {
        ++differ;
        std::printf("differs: %s (anchors %zu / %zu, internal %zu / %zu)\n", file.c_str(), before.anchors.size(),
                    scratch.page.anchors.size(), l1.internal.size(), l2.internal.size());
        PrintFirstDifference(before, scratch.page);
      }
    }
  }
  std::printf("pages %zu, anchors %zu, differing %zu, refused %zu\n", pages, anchors, differ, refused);
  std::printf("parser input: %.1f MB of page text, %.2f MB of link markup (%.1f%%)\n", pageBytes / 1e6,
              markupBytes / 1e6, pageBytes ? 100.0 * markupBytes / pageBytes : 0.0);
  const ResolvedLinkCache& cache = scratch.linkCache;
  const double asked = static_cast<double>(cache.hits() + cache.misses());
  std::printf("resolved-link cache: %llu of %.0f hrefs answered (%.1f%%)\n", static_cast<unsigned long long>(cache.hits()),
              asked, asked > 0 ? 100.0 * cache.hits() / asked : 0.0);
  std::printf("one core: whole markup %.3f s, link markup %.3f s\n", Seconds(theirs), Seconds(ours));
  return differ == 0 ? 0 : 1;
}
